// The splash: shown first, it fills the product information, and on its 75th tick loads the
// main window, shows it and hides itself for good.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/Form.h"
#include "windows/modSiteLink.h"

namespace quell {

class frmSplash {
  public:
    static constexpr int kTimer2 = 2;
    // Windows raises a shorter timer to its 10 ms minimum; asking for that keeps the picture on
    // screen about three quarters of a second.
    static constexpr int kTickMilliseconds = 10;

    // `showMainWindow` loads the main window (its load sequence runs) and shows it.
    frmSplash(platform::Form& window, modSiteLink& site, VersionSource& version,
              std::function<void()> showMainWindow);

    void Load();  // and show
    void OnEvent(const platform::Event& event);

    std::int16_t intTemp = 0;

  private:
    void Timer2_Timer();

    platform::Form& window_;
    modSiteLink& site_;
    VersionSource& version_;
    std::function<void()> showMainWindow_;
};

}  // namespace quell
