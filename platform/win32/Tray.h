// The notification-area icon on the main window, and the window's own icons.
#pragma once

#include <windows.h>

#include <shellapi.h>  // after windows.h, which it needs

#include <functional>

#include "platform/Tray.h"

namespace platform::win32 {

// Sets a window's large and small icons from an icon resource of the program; with
// `topLevelOwner`, the window's top-level owner gets them too.
void SetWindowIcons(HWND window, const wchar_t* resourceName, bool topLevelOwner);

struct TrayRetry {
    // Shell_NotifyIconW; tests give their own.
    std::function<BOOL(DWORD message, NOTIFYICONDATAW* data)> notify;
    // How often an icon the shell refused is offered again.
    UINT milliseconds = 2000;
    // Tries after which `onStillMissing` runs once, so that a program hidden in the tray with
    // no icon can be reached.
    int triesBeforeMissing = 5;
};

class Win32Tray final : public TrayIcon {
  public:
    // Mouse messages over the icon reach `onNotify` as their message number (513 left button
    // down ...). The window keeps the icon across an Explorer restart, and offers it again on a
    // timer while the shell refuses it (not started yet at logon); `onStillMissing` runs once
    // when it has been refused for a while.
    Win32Tray(HWND window, UINT id, HICON icon, std::function<void(int)> onNotify,
              std::function<void()> onStillMissing = nullptr, TrayRetry retry = {});
    ~Win32Tray() override;
    Win32Tray(const Win32Tray&) = delete;
    Win32Tray& operator=(const Win32Tray&) = delete;

    bool Add(const std::string& tip) override;
    void SetTip(const std::string& tip) override;
    void Remove() override;
    bool ShowBalloon(const std::string& title, const std::string& text) override;
    bool shown() const { return added_; }

    // The private message the icon notifies with, and Explorer's restart broadcast.
    static UINT CallbackMessage();
    static UINT TaskbarCreatedMessage();

  private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    NOTIFYICONDATAW Data(UINT flags) const;
    // NIM_ADD; while the shell refuses, the retry timer runs.
    void Offer();
    void OnRetryTimer();

    HWND window_;
    UINT id_;
    HICON icon_;
    std::wstring tip_;
    bool wanted_ = false;  // Add was asked for, and not Remove since
    bool added_ = false;   // the shell holds the icon
    int refusals_ = 0;
    std::function<void(int)> onNotify_;
    std::function<void()> onStillMissing_;
    TrayRetry retry_;
};

}  // namespace platform::win32
