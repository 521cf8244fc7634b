#include "platform/win32/Tray.h"

#include <commctrl.h>
#include <shellapi.h>

#include "platform/win32/Dpi.h"
#include "platform/win32/Guarded.h"
#include "platform/win32/Unicode.h"

namespace platform::win32 {
namespace {

constexpr UINT_PTR kSubclassId = 0x7261;  // one tray subclass per window
constexpr UINT_PTR kRetryTimer = 0x7261;  // the window's designed timers use small ids

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
                     std::function<void(int)> onNotify, std::function<void()> onStillMissing,
                     TrayRetry retry)
    : window_(window),
      id_(id),
      module_(module),
      iconName_(std::move(iconName)),
      onNotify_(std::move(onNotify)),
      onStillMissing_(std::move(onStillMissing)),
      retry_(std::move(retry)) {
    if (!retry_.notify) {
        retry_.notify = &::Shell_NotifyIconW;
    }
    LoadIconAtDpi(WindowDpi(window_));
    // An elevated copy would not hear Explorer's restart otherwise: messages from a lower
    // integrity level are filtered out.
    ::ChangeWindowMessageFilterEx(window_, TaskbarCreatedMessage(), MSGFLT_ALLOW, nullptr);
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
    wanted_ = true;
    refusals_ = 0;
    Offer();
    return added_;
}

void Win32Tray::Offer() {
    NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    added_ = retry_.notify(NIM_ADD, &data) != FALSE;
    if (added_) {
        ::KillTimer(window_, kRetryTimer);
    } else {
        ::SetTimer(window_, kRetryTimer, retry_.milliseconds, nullptr);
    }
}

void Win32Tray::OnRetryTimer() {
    if (!wanted_ || added_) {
        ::KillTimer(window_, kRetryTimer);
        return;
    }
    Offer();
    if (!added_ && ++refusals_ == retry_.triesBeforeMissing && onStillMissing_) {
        onStillMissing_();
    }
}

void Win32Tray::SetTip(const std::string& tip) {
    tip_ = Widen(tip);
    if (!added_) {
        return;  // the next offer carries it
    }
    NOTIFYICONDATAW data = Data(NIF_TIP);
    retry_.notify(NIM_MODIFY, &data);
}

bool Win32Tray::ShowBalloon(const std::string& title, const std::string& text) {
    if (!added_) {
        return false;
    }
    NOTIFYICONDATAW data = Data(NIF_INFO);
    lstrcpynW(data.szInfoTitle, Widen(title).c_str(), ARRAYSIZE(data.szInfoTitle));
    lstrcpynW(data.szInfo, Widen(text).c_str(), ARRAYSIZE(data.szInfo));
    data.dwInfoFlags = NIIF_WARNING;
    return retry_.notify(NIM_MODIFY, &data) != FALSE;
}

void Win32Tray::Remove() {
    wanted_ = false;
    ::KillTimer(window_, kRetryTimer);
    if (added_) {
        NOTIFYICONDATAW data = Data(0);
        retry_.notify(NIM_DELETE, &data);
    }
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
        if (message == WM_TIMER && wParam == kRetryTimer) {
            tray->OnRetryTimer();
            return 0;
        }
        if (message == TaskbarCreatedMessage() && tray->wanted_) {
            // Explorer restarted and forgot every icon, or started only now: without this, a
            // program hidden in the tray could no longer be reached.
            tray->Offer();
        } else if (message == WM_DPICHANGED) {
            tray->LoadIconAtDpi(LOWORD(wParam));
            if (tray->added_) {
                NOTIFYICONDATAW data = tray->Data(NIF_ICON);
                tray->retry_.notify(NIM_MODIFY, &data);
            }
        }
        return ::DefSubclassProc(window, message, wParam, lParam);
    });
}

}  // namespace platform::win32
