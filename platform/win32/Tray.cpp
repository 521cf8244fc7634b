#include "platform/win32/Tray.h"

#include <commctrl.h>
#include <shellapi.h>

#include "platform/win32/Dpi.h"
#include "platform/win32/Guarded.h"
#include "platform/win32/Unicode.h"

namespace platform::win32 {
namespace {

constexpr UINT_PTR kSubclassId = 0x7261;  // one tray subclass per window

}  // namespace

void SetWindowIcons(DesignedWindow& window, std::string_view resourceName, bool topLevelOwner) {
    window.SetIcons(resourceName);
    if (!topLevelOwner) {
        return;
    }
    HWND owner = window.Hwnd();
    for (HWND next = ::GetWindow(owner, GW_OWNER); next != nullptr;
         next = ::GetWindow(owner, GW_OWNER)) {
        owner = next;
    }
    if (owner == window.Hwnd()) {
        return;
    }
    for (const WPARAM which : {ICON_BIG, ICON_SMALL}) {
        ::SendMessageW(owner, WM_SETICON, which,
                       ::SendMessageW(window.Hwnd(), WM_GETICON, which, 0));
    }
}

UINT Win32Tray::CallbackMessage() {
    return WM_APP + 0x51;
}

UINT Win32Tray::TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

Win32Tray::Win32Tray(HWND window, UINT id, HINSTANCE module, std::wstring iconName,
                     std::function<void(int)> onNotify)
    : window_(window),
      id_(id),
      module_(module),
      iconName_(std::move(iconName)),
      onNotify_(std::move(onNotify)) {
    LoadIconAtDpi(WindowDpi(window_));
    ::SetWindowSubclass(window_, &SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

Win32Tray::~Win32Tray() {
    Remove();
    ::RemoveWindowSubclass(window_, &SubclassProc, kSubclassId);
}

void Win32Tray::LoadIconAtDpi(UINT dpi) {
    icon_.reset(static_cast<HICON>(::LoadImageW(module_, iconName_.c_str(), IMAGE_ICON,
                                                SystemMetricForDpi(SM_CXSMICON, dpi),
                                                SystemMetricForDpi(SM_CYSMICON, dpi), 0)));
}

NOTIFYICONDATAW Win32Tray::Data(UINT flags) const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window_;
    data.uID = id_;
    data.uFlags = flags;
    data.uCallbackMessage = CallbackMessage();
    data.hIcon = icon_.get();
    lstrcpynW(data.szTip, tip_.c_str(), ARRAYSIZE(data.szTip));
    return data;
}

bool Win32Tray::Add(const std::string& tip) {
    tip_ = Widen(tip);
    NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    added_ = ::Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    return added_;
}

void Win32Tray::SetTip(const std::string& tip) {
    tip_ = Widen(tip);
    NOTIFYICONDATAW data = Data(NIF_TIP);
    ::Shell_NotifyIconW(NIM_MODIFY, &data);
}

void Win32Tray::Remove() {
    NOTIFYICONDATAW data = Data(0);
    ::Shell_NotifyIconW(NIM_DELETE, &data);
    added_ = false;
}

LRESULT CALLBACK Win32Tray::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR self) {
    return Guarded([&]() -> LRESULT {
        auto* tray = reinterpret_cast<Win32Tray*>(self);
        if (message == CallbackMessage()) {
            // A private message rather than the mouse-move message: a real mouse move over a
            // wide window must never be taken for a click on the icon.
            if (tray->onNotify_) {
                tray->onNotify_(static_cast<int>(LOWORD(lParam)));
            }
            return 0;
        }
        if (message == TaskbarCreatedMessage() && tray->added_) {
            // Explorer restarted and forgot every icon: without this, a program hidden in the
            // tray could no longer be reached.
            NOTIFYICONDATAW data = tray->Data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
            ::Shell_NotifyIconW(NIM_ADD, &data);
        } else if (message == WM_DPICHANGED) {
            tray->LoadIconAtDpi(LOWORD(wParam));
            if (tray->added_) {
                NOTIFYICONDATAW data = tray->Data(NIF_ICON);
                ::Shell_NotifyIconW(NIM_MODIFY, &data);
            }
        }
        return ::DefSubclassProc(window, message, wParam, lParam);
    });
}

}  // namespace platform::win32
