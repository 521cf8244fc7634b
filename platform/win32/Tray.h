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

class Win32Tray final : public TrayIcon {
  public:
    // Mouse messages over the icon reach `onNotify` as their message number (513 left button
    // down ...). The window keeps the icon across an Explorer restart. The icon is the
    // resource `iconName` of `module`, at the small-icon size of the window's DPI, and again
    // at the new one when the DPI changes.
    Win32Tray(HWND window, UINT id, HINSTANCE module, std::wstring iconName,
              std::function<void(int)> onNotify);
    ~Win32Tray() override;
    Win32Tray(const Win32Tray&) = delete;
    Win32Tray& operator=(const Win32Tray&) = delete;

    bool Add(const std::string& tip) override;
    void SetTip(const std::string& tip) override;
    void Remove() override;

    // The private message the icon notifies with, and Explorer's restart broadcast.
    static UINT CallbackMessage();
    static UINT TaskbarCreatedMessage();

    HICON Icon() const { return icon_.get(); }

  private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    NOTIFYICONDATAW Data(UINT flags) const;
    void LoadIconAtDpi(UINT dpi);

    HWND window_;
    UINT id_;
    HINSTANCE module_;
    std::wstring iconName_;
    UniqueIcon icon_;
    std::wstring tip_;
    bool added_ = false;
    std::function<void(int)> onNotify_;
};

}  // namespace platform::win32
