// The notification-area icon's logic: which clicks open its menu, and its tooltip.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "mainwindow/Form1Services.h"

namespace quell {

// Left button down or up, or right button up over the icon; every other mouse message (a
// move, a double click, the right button going down) does nothing.
constexpr bool OpensTrayMenu(int mouseMessage) {
    return mouseMessage == 513 || mouseMessage == 514 || mouseMessage == 517;
}

// A mouse message over the icon: the tray menu for the clicks that open it.
void TrayNotify(Form1Services& services, int mouseMessage);

// The longest tip the notification area shows, in UTF-16 units.
inline constexpr std::size_t kTrayTipUnits = 127;

// The product name, the live count of popups blocked and the site of the latest one, shortened
// with an ellipsis to fit kTrayTipUnits.
std::string TrayTip(const std::string& productName, std::int32_t blocked,
                    std::string_view lastSite = {});

}  // namespace quell
