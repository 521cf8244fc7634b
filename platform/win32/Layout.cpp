#include "platform/win32/Layout.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <stdexcept>
#include <string>

#include "platform/win32/Dpi.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Controls.h"

namespace platform::win32 {
namespace {

using quell::design::ControlDesign;
using quell::design::TwipsToPixels;
using quell::design::WindowDesign;

struct TwipsOrigin {
    int left;
    int top;
};

// The control's top-left in the window's client area, in twips; a chain of parents adds up.
TwipsOrigin AbsoluteOrigin(const WindowDesign& window, const ControlDesign& control) {
    TwipsOrigin origin{control.left, control.top};
    std::string_view parent = control.parent;
    for (std::size_t depth = 0; !parent.empty(); ++depth) {
        if (depth == window.controls.size()) {
            throw std::invalid_argument(std::string(window.name) + ": the parents of " +
                                        std::string(control.name) + " form a cycle");
        }
        const ControlDesign* container = nullptr;
        for (const ControlDesign& candidate : window.controls) {
            if (candidate.name == parent) {
                container = &candidate;
                break;
            }
        }
        if (container == nullptr) {
            throw std::invalid_argument(std::string(window.name) + ": " +
                                        std::string(control.name) + " names a parent " +
                                        std::string(parent) + " that is not in the table");
        }
        origin.left += container->left;
        origin.top += container->top;
        parent = container->parent;
    }
    return origin;
}

}  // namespace

std::vector<RECT> LayoutControls(const WindowDesign& window, UINT dpi) {
    const int scale = static_cast<int>(dpi);
    std::vector<RECT> rects;
    rects.reserve(window.controls.size());
    for (const ControlDesign& control : window.controls) {
        const TwipsOrigin origin = AbsoluteOrigin(window, control);
        const LONG left = TwipsToPixels(origin.left, scale);
        const LONG top = TwipsToPixels(origin.top, scale);
        rects.push_back({left, top, left + TwipsToPixels(control.width, scale),
                         top + TwipsToPixels(control.height, scale)});
    }
    return rects;
}

SIZE ClientSizePixels(const WindowDesign& window, UINT dpi) {
    const int scale = static_cast<int>(dpi);
    return {TwipsToPixels(window.clientWidth, scale), TwipsToPixels(window.clientHeight, scale)};
}

int FontHeight(int hundredthsOfPoint, UINT dpi) {
    return -::MulDiv(hundredthsOfPoint, static_cast<int>(dpi), 7200);
}

ButtonPicture FitButtonPicture(int labelHeight, int captionHeight, UINT dpi) {
    for (const int gap : {ScaleFromDefault(2, dpi), 0}) {
        for (const int side : {32, 24, 16}) {
            const int scaled = ScaleFromDefault(side, dpi);
            if (scaled + gap + captionHeight <= labelHeight) {
                return {scaled, gap};
            }
        }
    }
    return {0, 0};
}

UINT CaptionFormat(HWND button) {
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(button, GWL_STYLE));
    return DT_CENTER | DT_NOCLIP | ((style & BS_MULTILINE) != 0 ? DT_WORDBREAK : DT_SINGLELINE);
}

ButtonLabel MeasureButtonLabel(HWND button) {
    RECT client{};
    ::GetClientRect(button, &client);
    ButtonLabel label{client, {0, 0}};
    const WindowDc windowDc(button);
    const HDC dc = windowDc.get();
    if (const HTHEME theme = ::GetWindowTheme(button); theme != nullptr) {
        ::GetThemeBackgroundContentRect(theme, dc, BP_PUSHBUTTON, PBS_NORMAL, &client, &label.area);
    } else {
        ::InflateRect(&label.area, -3, -3);  // the frame and a default button's outline
    }
    const std::wstring caption = WindowText(button);
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(button, WM_GETFONT, 0, 0));
    RECT extent{0, 0, label.area.right - label.area.left, 0};
    {
        const SelectedObject selected(dc, font);
        ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &extent,
                    CaptionFormat(button) | DT_CALCRECT);
    }
    label.caption = {extent.right - extent.left, extent.bottom - extent.top};
    return label;
}

}  // namespace platform::win32
