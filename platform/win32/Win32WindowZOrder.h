#pragma once

#include "platform/WindowZOrder.h"

namespace platform::win32 {

class Win32WindowZOrder final : public WindowZOrder {
  public:
    bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, unsigned flags) override;
};

}  // namespace platform::win32
