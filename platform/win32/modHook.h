// Windows key + Z on the main window: registered there, and carried out of its window
// procedure as a mouse move posted to an idle child, so the toggle runs after the hot-key
// message has been handled.
#pragma once

#include "platform/HotKey.h"

namespace platform::win32 {

class modHook final : public HotKeyHook {
  public:
    bool Install(WindowHandle mainWindow, WindowHandle target) override;
    void Remove() override;

  private:
    WindowHandle mainWindow_ = 0;  // 0 while no hook is installed
};

}  // namespace platform::win32
