#include "platform/win32/Layout.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "platform/win32/Dpi.h"

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

int ButtonPictureSize(int buttonHeight, int captionHeight, UINT dpi) {
    // Frame, focus rectangle and the gap between picture and caption.
    const int room = buttonHeight - std::abs(captionHeight) - ScaleFromDefault(8, dpi);
    for (const int size : {32, 24, 16}) {
        const int scaled = ScaleFromDefault(size, dpi);
        if (scaled <= room) {
            return scaled;
        }
    }
    return 0;
}

int CaptionHeight(HFONT font, const std::wstring& caption, int buttonWidth, UINT dpi) {
    // A caption too wide for one line wraps; the picture above it must then leave room for
    // every line, or the last one is cut off.
    const HDC screen = ::GetDC(nullptr);
    const HGDIOBJ previous = ::SelectObject(screen, font);
    RECT text{0, 0, buttonWidth - ScaleFromDefault(10, dpi), 0};
    ::DrawTextW(screen, caption.c_str(), static_cast<int>(caption.size()), &text,
                DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
    ::SelectObject(screen, previous);
    ::ReleaseDC(nullptr, screen);
    return text.bottom - text.top;
}

}  // namespace platform::win32
