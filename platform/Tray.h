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
};

}  // namespace platform
