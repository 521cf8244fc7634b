// The notification-area icon's logic: which clicks open its menu, and its tooltip.
#pragma once

#include <cstdint>
#include <string>

namespace quell {

// Left button down or up, or right button up over the icon; every other mouse message (a
// move, a double click, the right button going down) does nothing.
constexpr bool OpensTrayMenu(int mouseMessage) {
    return mouseMessage == 513 || mouseMessage == 514 || mouseMessage == 517;
}

// The product name and the live count of popups blocked.
std::string TrayTip(const std::string& productName, std::int32_t blocked);

}  // namespace quell
