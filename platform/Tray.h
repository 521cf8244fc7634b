#pragma once

#include <string>

namespace platform {

// The program's one icon in the notification area.
class TrayIcon {
  public:
    virtual ~TrayIcon() = default;
    virtual bool Add(const std::string& tip) = 0;
    virtual void SetTip(const std::string& tip) = 0;
    virtual void Remove() = 0;
    // A notice beside the icon, for what the user must know while the main window is hidden;
    // false when the icon is not shown.
    virtual bool ShowBalloon(const std::string& title, const std::string& text) = 0;
};

}  // namespace platform
