// One running copy per logon session. The first copy holds a named mutex from before its first
// window, and keeps a message-only window that a later start, or the installer, finds by its
// class name (the product name and "Instance"): a later start asks it to show its main window
// and ends; a close request ends it as File > Exit does, so that it saves its settings.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/win32/Handles.h"

namespace platform::win32 {

// The session's mutex, taken by the constructor and held for the object's life.
class InstanceLock {
  public:
    InstanceLock();
    // False when an earlier copy in this logon session holds the mutex.
    bool first() const { return first_; }

  private:
    UniqueHandle mutex_;
    bool first_ = true;
};

// A later start's request to the running copy: lets it take the foreground, then asks it to
// show its main window. The running copy makes its window just after taking the mutex, so this
// looks for it for up to `waitMs`. False when no window was found.
bool AskRunningCopyToShow(DWORD waitMs);

// The running copy's side. Both callbacks run from the thread's message loop, never inside a
// message sent by another process (COM refuses outgoing calls there, and the program's end
// releases cross-process objects).
class InstanceWindow {
  public:
    InstanceWindow(std::function<void()> onShow, std::function<void()> onClose);
    InstanceWindow(const InstanceWindow&) = delete;
    InstanceWindow& operator=(const InstanceWindow&) = delete;

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::function<void()> onShow_;
    std::function<void()> onClose_;
    UniqueWindow window_;
};

}  // namespace platform::win32
