#pragma once

#include <windows.h>

#include <functional>

#include "platform/EventPump.h"

namespace platform::win32 {

class Win32EventPump final : public EventPump {
  public:
    void DoEvents() override;
    void WaitForEvents() override;
    bool QuitRequested() const override { return quitSeen_; }

    // Gives dialog-style keyboard handling (Tab, mnemonics) its chance at each message.
    std::function<bool(MSG&)> preTranslate;

  private:
    bool quitSeen_ = false;
};

}  // namespace platform::win32
