#include "platform/win32/PollTimer.h"

#include <utility>

#include "platform/win32/Guarded.h"

namespace platform::win32 {
namespace {

constexpr UINT_PTR kTimer = 1;

}  // namespace

PollTimer::PollTimer(UINT milliseconds, std::function<void()> tick) : tick_(std::move(tick)) {
    static const ATOM windowClass = [] {
        WNDCLASSW registered{};
        registered.lpfnWndProc = &PollTimer::WindowProc;
        registered.hInstance = ::GetModuleHandleW(nullptr);
        registered.lpszClassName = L"QuellPanePollTimer";
        return ::RegisterClassW(&registered);
    }();
    if (windowClass == 0) {
        return;
    }
    window_.reset(::CreateWindowExW(0, MAKEINTATOM(windowClass), L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                    nullptr, ::GetModuleHandleW(nullptr), this));
    if (window_ && ::SetTimer(window_.get(), kTimer, milliseconds, nullptr) == 0) {
        window_.reset();
    }
}

LRESULT CALLBACK PollTimer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Guarded([&]() -> LRESULT {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            ::SetWindowLongPtrW(window, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<PollTimer*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr && message == WM_TIMER && wParam == kTimer) {
            const std::function<void()> tick = self->tick_;  // a copy: it may end `self`
            tick();
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    });
}

}  // namespace platform::win32
