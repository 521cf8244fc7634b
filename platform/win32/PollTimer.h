// A message-only window whose timer runs a function, so that any message loop of the thread
// drives it.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/win32/Handles.h"

namespace platform::win32 {

// The tick may end the timer's owner, and the timer with it.
class PollTimer {
  public:
    PollTimer(UINT milliseconds, std::function<void()> tick);
    PollTimer(const PollTimer&) = delete;
    PollTimer& operator=(const PollTimer&) = delete;

    bool running() const { return static_cast<bool>(window_); }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::function<void()> tick_;
    UniqueWindow window_;
};

}  // namespace platform::win32
