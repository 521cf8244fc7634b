#include "platform/win32/Tray.h"

#include <commctrl.h>
#include <shellapi.h>

#include "platform/win32/Unicode.h"

namespace platform::win32 {
namespace {

constexpr UINT_PTR kSubclassId = 0x7261;  // one tray subclass per window

}  // namespace

void SetWindowIcons(HWND window, const wchar_t* resourceName, bool topLevelOwner) {
    HWND owner = window;
    if (topLevelOwner) {
        for (HWND next = ::GetWindow(owner, GW_OWNER); next != nullptr;
             next = ::GetWindow(owner, GW_OWNER)) {
            owner = next;
        }
    }
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const struct {
        int width;
        int height;
        WPARAM which;
    } sizes[] = {{::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), ICON_BIG},
                 {::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), ICON_SMALL}};
    for (const auto& size : sizes) {
        // Shared icons belong to the system and are never destroyed.
        HANDLE icon =
            ::LoadImageW(instance, resourceName, IMAGE_ICON, size.width, size.height, LR_SHARED);
        if (topLevelOwner) {
            ::SendMessageW(owner, WM_SETICON, size.which, reinterpret_cast<LPARAM>(icon));
        }
        ::SendMessageW(window, WM_SETICON, size.which, reinterpret_cast<LPARAM>(icon));
    }
}

UINT Win32Tray::CallbackMessage() {
    return WM_APP + 0x51;
}

UINT Win32Tray::TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

Win32Tray::Win32Tray(HWND window, UINT id, HICON icon, std::function<void(int)> onNotify)
    : window_(window), id_(id), icon_(icon), onNotify_(std::move(onNotify)) {
    ::SetWindowSubclass(window_, &SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

Win32Tray::~Win32Tray() {
    Remove();
    ::RemoveWindowSubclass(window_, &SubclassProc, kSubclassId);
}

NOTIFYICONDATAW Win32Tray::Data(UINT flags) const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window_;
    data.uID = id_;
    data.uFlags = flags;
    data.uCallbackMessage = CallbackMessage();
    data.hIcon = icon_;
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
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace platform::win32
