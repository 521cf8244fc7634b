#include "platform/win32/SingleInstance.h"

#include "platform/win32/Guarded.h"
#include "resources/ProductInfo.h"

namespace platform::win32 {
namespace {

// "Local\": one copy per logon session; another user's session runs its own.
constexpr wchar_t kMutexName[] = L"Local\\" QUELL_PRODUCT_NAME L".Running";
constexpr wchar_t kWindowClass[] = QUELL_PRODUCT_NAME L"Instance";
constexpr DWORD kPollMs = 50;

// The requests carried out from the message loop (see InstanceWindow).
constexpr UINT kShowNow = WM_APP + 1;
constexpr UINT kCloseNow = WM_APP + 2;

UINT ShowRequestMessage() {
    static const UINT message = ::RegisterWindowMessageW(QUELL_PRODUCT_NAME L".ShowMainWindow");
    return message;
}

ATOM RegisterInstanceClass(WNDPROC procedure) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    return ::RegisterClassW(&windowClass);
}

}  // namespace

InstanceLock::InstanceLock() : mutex_(::CreateMutexW(nullptr, FALSE, kMutexName)) {
    const DWORD error = ::GetLastError();
    // Denied: the name exists with a security this process may not open, so a copy holds it.
    // Any other failure lets the program run rather than not at all.
    first_ = mutex_ ? error != ERROR_ALREADY_EXISTS : error != ERROR_ACCESS_DENIED;
}

bool AskRunningCopyToShow(DWORD waitMs) {
    for (DWORD waited = 0;; waited += kPollMs) {
        const HWND running = ::FindWindowExW(HWND_MESSAGE, nullptr, kWindowClass, nullptr);
        if (running != nullptr) {
            // Windows lets a process take the foreground only if the foreground process allows
            // it; this start is the one the user just made, so it may pass that on.
            DWORD process = 0;
            ::GetWindowThreadProcessId(running, &process);
            ::AllowSetForegroundWindow(process);
            return ::PostMessageW(running, ShowRequestMessage(), 0, 0) != FALSE;
        }
        if (waited >= waitMs) {
            return false;
        }
        ::Sleep(kPollMs);
    }
}

InstanceWindow::InstanceWindow(std::function<void()> onShow, std::function<void()> onClose)
    : onShow_(std::move(onShow)), onClose_(std::move(onClose)) {
    static const ATOM windowClass = RegisterInstanceClass(&InstanceWindow::WindowProc);
    if (windowClass != 0) {
        // Message-only: no taskbar entry, no Z order, no broadcasts; found by its class.
        window_.reset(::CreateWindowExW(0, MAKEINTATOM(windowClass), L"", 0, 0, 0, 0, 0,
                                        HWND_MESSAGE, nullptr, ::GetModuleHandleW(nullptr), this));
    }
}

LRESULT CALLBACK InstanceWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    return Guarded([&]() -> LRESULT {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            ::SetWindowLongPtrW(window, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<InstanceWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self == nullptr) {
            return ::DefWindowProcW(window, message, wParam, lParam);
        }
        // A request may come sent from another process: answered at once, carried out later.
        if (message == ShowRequestMessage()) {
            ::PostMessageW(window, kShowNow, 0, 0);
            return 0;
        }
        switch (message) {
            case WM_CLOSE:
                ::PostMessageW(window, kCloseNow, 0, 0);
                return 0;
            case kShowNow:
                self->onShow_();
                return 0;
            case kCloseNow:
                self->onClose_();
                return 0;
            case WM_NCDESTROY:
                ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
                break;
            default:
                break;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    });
}

}  // namespace platform::win32
