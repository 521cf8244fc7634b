// The notification-area icon on the main window, and the window's own icons.
#pragma once

#include <windows.h>

#include <shellapi.h>  // after windows.h, which it needs

#include <functional>
#include <string>
#include <string_view>

#include "platform/Tray.h"
#include "platform/win32/DesignedWindow.h"
#include "platform/win32/Handles.h"

namespace platform::win32 {

// Sets a window's large and small icons from an icon resource, at the window's DPI and again
// when that changes; with `topLevelOwner`, the window's top-level owner gets them too, at
// their present size.
void SetWindowIcons(DesignedWindow& window, std::string_view resourceName, bool topLevelOwner);

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
    // when it has been refused for a while. The icon is the resource `iconName` of `module`, at
    // the small-icon size of the window's DPI, and again at the new one when the DPI changes.
    Win32Tray(HWND window, UINT id, HINSTANCE module, std::wstring iconName,
              std::function<void(int)> onNotify, std::function<void()> onStillMissing = nullptr,
              TrayRetry retry = {});
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

    HICON Icon() const { return icon_.get(); }

  private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    NOTIFYICONDATAW Data(UINT flags) const;
    void LoadIconAtDpi(UINT dpi);
    // NIM_ADD; while the shell refuses, the retry timer runs.
    void Offer();
    void OnRetryTimer();

    HWND window_;
    UINT id_;
    HINSTANCE module_;
    std::wstring iconName_;
    UniqueIcon icon_;
    std::wstring tip_;
    bool wanted_ = false;  // Add was asked for, and not Remove since
    bool added_ = false;   // the shell holds the icon
    int refusals_ = 0;
    std::function<void(int)> onNotify_;
    std::function<void()> onStillMissing_;
    TrayRetry retry_;
};

}  // namespace platform::win32
