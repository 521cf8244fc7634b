// What a designed window loads for its DPI: fonts, window icons and button pictures, again
// whenever the window moves to a monitor of another DPI.
#include "platform/win32/DesignedWindow.h"

#include <cwchar>
#include <utility>

#include "platform/win32/Dpi.h"
#include "platform/win32/Layout.h"
#include "platform/win32/Unicode.h"

namespace platform::win32 {
namespace {

using quell::design::ControlKind;
using quell::design::Font;

bool SameFont(const Font& a, const Font& b) {
    return a.face == b.face && a.hundredthsOfPoint == b.hundredthsOfPoint && a.bold == b.bold;
}

UniqueFont CreateFontAtDpi(const Font& font, UINT dpi) {
    LOGFONTW logFont{};
    if (font.face.empty()) {
        logFont = MessageFontForDpi(dpi);
    } else {
        logFont.lfHeight = FontHeight(font.hundredthsOfPoint, dpi);
        logFont.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
        logFont.lfCharSet = DEFAULT_CHARSET;
        const std::wstring face = Widen(font.face);
        std::wcsncpy(logFont.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    }
    return UniqueFont(::CreateFontIndirectW(&logFont));
}

UniqueIcon LoadIconAt(HINSTANCE module, const std::wstring& name, int width, int height) {
    return UniqueIcon(
        static_cast<HICON>(::LoadImageW(module, name.c_str(), IMAGE_ICON, width, height, 0)));
}

}  // namespace

void DesignedWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    layout_ = LayoutControls(design_, dpi_);
    ApplyDpi();
    ::SetWindowPos(window_, nullptr, suggested.left, suggested.top,
                   suggested.right - suggested.left, suggested.bottom - suggested.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void DesignedWindow::ApplyDpi() {
    ApplyFonts();
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        Control& control = controls_[i];
        if (control.design->kind != ControlKind::StatusBar) {
            const RECT& rect = layout_[i];
            ::SetWindowPos(control.hwnd, nullptr, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        ApplyButtonPicture(control);
        control.status.SetDpi(dpi_);
        control.rows.SetDpi(dpi_);
    }
    SizeTooltips();
    LoadIcons();
}

void DesignedWindow::ApplyFonts() {
    // The old fonts are deleted only after every control has let go of them.
    const std::vector<LoadedFont> previous = std::exchange(fonts_, {});
    for (const Control& control : controls_) {
        ::SendMessageW(control.hwnd, WM_SETFONT,
                       reinterpret_cast<WPARAM>(FontFor(control.design->font)), TRUE);
        control.list.FitItemHeight();
    }
}

HFONT DesignedWindow::FontFor(const Font& font) {
    const Font& wanted = font.face.empty() ? design_.font : font;
    for (const LoadedFont& loaded : fonts_) {
        if (SameFont(loaded.font, wanted)) {
            return loaded.handle.get();
        }
    }
    fonts_.push_back({wanted, CreateFontAtDpi(wanted, dpi_)});
    return fonts_.back().handle.get();
}

void DesignedWindow::ApplyButtonPicture(Control& control) {
    if (control.design->kind != ControlKind::Button || control.design->picture.empty()) {
        return;
    }
    const ButtonLabel label = MeasureButtonLabel(control.hwnd);
    const ButtonPicture fit =
        FitButtonPicture(label.area.bottom - label.area.top, label.caption.cy, dpi_);
    const int size = fit.side;
    UniqueImageList images;
    if (size > 0) {
        const UniqueIcon icon = LoadIconAt(resources_, Widen(control.design->picture), size, size);
        if (icon) {
            images.reset(::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 0));
            if (images && ::ImageList_AddIcon(images.get(), icon.get()) < 0) {
                images.reset();
            }
        }
    }
    if (!images && !control.picture) {
        return;  // a missing picture leaves the caption alone
    }
    BUTTON_IMAGELIST picture{images.get(), {0, 0, 0, fit.gap}, BUTTON_IMAGELIST_ALIGN_TOP};
    if (!::SendMessageW(control.hwnd, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&picture))) {
        images.reset();  // common controls before version 6: caption only
    }
    control.picture = std::move(images);
}

void DesignedWindow::SetIcons(std::string_view resourceName) {
    iconName_ = resourceName;
    if (window_ != nullptr) {
        LoadIcons();
    }
}

void DesignedWindow::LoadIcons() {
    if (iconName_.empty()) {
        return;
    }
    // Icons the program has set itself since (WM_SETICON from elsewhere) stay.
    const auto current = reinterpret_cast<HICON>(::SendMessageW(window_, WM_GETICON, ICON_BIG, 0));
    if (current != bigIcon_.get()) {
        return;
    }
    const std::wstring name = Widen(iconName_);
    UniqueIcon big = LoadIconAt(resources_, name, SystemMetricForDpi(SM_CXICON, dpi_),
                                SystemMetricForDpi(SM_CYICON, dpi_));
    UniqueIcon small = LoadIconAt(resources_, name, SystemMetricForDpi(SM_CXSMICON, dpi_),
                                  SystemMetricForDpi(SM_CYSMICON, dpi_));
    ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    bigIcon_ = std::move(big);
    smallIcon_ = std::move(small);
}

}  // namespace platform::win32
