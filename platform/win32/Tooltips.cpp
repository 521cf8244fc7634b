// The tooltips of a designed window's controls, as the design gives them.
#include "platform/win32/DesignedWindow.h"

#include "platform/win32/Dpi.h"
#include "platform/win32/Unicode.h"

namespace platform::win32 {
namespace {

// Tooltips stay up long enough to read the longer option descriptions.
constexpr int kTooltipShowMs = 30000;
constexpr int kTooltipWidth = 300;  // pixels at 96 DPI; longer texts wrap

}  // namespace

void DesignedWindow::CreateTooltips() {
    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    if (tooltip_ == nullptr) {
        return;
    }
    ::SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(kTooltipShowMs, 0));
    for (const Control& control : controls_) {
        if (control.design->tooltip.empty()) {
            continue;
        }
        std::wstring text = Widen(control.design->tooltip);
        TTTOOLINFOW tool{};
        // The older structure size: accepted by both versions of the common controls.
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(control.hwnd);
        tool.lpszText = text.data();
        ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void DesignedWindow::SizeTooltips() {
    if (tooltip_ != nullptr) {
        ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, ScaleFromDefault(kTooltipWidth, dpi_));
    }
}

}  // namespace platform::win32
