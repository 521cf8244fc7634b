// A designed window's frame: its style from the design's border, its owner, its size and
// place, and how it is shown.
#include "platform/win32/DesignedWindow.h"

#include "platform/win32/Dpi.h"
#include "platform/win32/Layout.h"
#include "platform/win32/Unicode.h"

namespace platform::win32 {
namespace {

using quell::design::Border;

struct FrameStyle {
    DWORD style;
    DWORD exStyle;
};

FrameStyle StyleFor(const quell::design::WindowDesign& design) {
    FrameStyle frame{};
    switch (design.border) {
        case Border::Sizable:
            frame.style = WS_OVERLAPPEDWINDOW;
            break;
        case Border::FixedSingle:
            frame.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
            if (design.minButton) {
                frame.style |= WS_MINIMIZEBOX;
            }
            break;
        case Border::FixedDialog:
            frame.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
            frame.exStyle = WS_EX_DLGMODALFRAME;
            break;
        case Border::None:
            frame.style = WS_POPUP;
            break;
    }
    // A window without a caption has no taskbar button only as a tool window; the others
    // get a hidden owner instead, which keeps their ordinary caption.
    if (!design.showInTaskbar && design.border == Border::None) {
        frame.exStyle |= WS_EX_TOOLWINDOW;
    }
    return frame;
}

// Owned windows get no taskbar button; the owner is never shown and lives with the process.
HWND HiddenOwner() {
    static const HWND owner = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                                nullptr, ::GetModuleHandleW(nullptr), nullptr);
    return owner;
}

}  // namespace

bool DesignedWindow::CreateFrame(HMENU menuBar) {
    const FrameStyle frame = StyleFor(design_);
    const bool overlapped = design_.border != Border::None;
    const int position = overlapped ? CW_USEDEFAULT : 0;
    const HWND owner = design_.showInTaskbar || !overlapped ? nullptr : HiddenOwner();
    // WM_NCCREATE stores the window in window_.
    return ::CreateWindowExW(frame.exStyle, kDesignedWindowClass, Widen(design_.caption).c_str(),
                             frame.style, position, position, 0, 0, owner, menuBar,
                             ::GetModuleHandleW(nullptr), this) != nullptr;
}

void DesignedWindow::Show() {
    if (!Load()) {
        return;
    }
    if (shownOnce_) {
        ::ShowWindow(window_, SW_SHOW);
        return;
    }
    int command = SW_SHOWNORMAL;
    if (pendingState_ == WindowState::Minimized) {
        command = SW_SHOWMINIMIZED;
    } else if (pendingState_ == WindowState::Maximized) {
        command = SW_SHOWMAXIMIZED;
    }
    ::ShowWindow(window_, command);
    // The first display is one Resize, whatever sizes the showing itself went through.
    shownOnce_ = true;
    Raise({EventKind::Resize});
}

void DesignedWindow::BringToFront() {
    Show();
    if (window_ != nullptr) {
        ::SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ::SetForegroundWindow(window_);
    }
}

void DesignedWindow::Hide() {
    if (window_ != nullptr) {
        ::ShowWindow(window_, SW_HIDE);
    }
}

bool DesignedWindow::Visible() const {
    return window_ != nullptr && ::IsWindowVisible(window_);
}

WindowState DesignedWindow::State() const {
    if (window_ == nullptr) {
        return WindowState::Normal;
    }
    if (!shownOnce_) {
        return pendingState_;
    }
    if (::IsIconic(window_)) {
        return WindowState::Minimized;
    }
    return ::IsZoomed(window_) ? WindowState::Maximized : WindowState::Normal;
}

void DesignedWindow::SetState(WindowState state) {
    if (window_ == nullptr) {
        return;
    }
    if (!shownOnce_) {
        // A window that has never been shown takes its state when it is shown.
        pendingState_ = state;
        return;
    }
    if (Visible() && State() == state) {
        return;
    }
    switch (state) {
        case WindowState::Minimized:
            ::ShowWindow(window_, SW_MINIMIZE);
            break;
        case WindowState::Maximized:
            ::ShowWindow(window_, SW_MAXIMIZE);
            break;
        case WindowState::Normal:
            ::ShowWindow(window_, SW_RESTORE);
            break;
    }
}

void DesignedWindow::PlaceWindow() {
    const SIZE client = ClientSizePixels(design_, dpi_);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_EXSTYLE));
    const RECT frame = WindowRectForClient({0, 0, client.cx, client.cy}, style, exStyle,
                                           ::GetMenu(window_) != nullptr, dpi_);
    const int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    RECT placed{};
    ::GetWindowRect(window_, &placed);
    if (design_.centred) {
        RECT work{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        placed.left = work.left + (work.right - work.left - width) / 2;
        placed.top = work.top + (work.bottom - work.top - height) / 2;
    }
    ::SetWindowPos(window_, nullptr, placed.left, placed.top, width, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    // A menu bar that wraps onto a second line takes height the frame did not count.
    RECT actual{};
    ::GetClientRect(window_, &actual);
    if (actual.bottom != client.cy) {
        height += client.cy - actual.bottom;
        ::SetWindowPos(window_, nullptr, 0, 0, width, height,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

int DesignedWindow::ClientWidthTwips() const {
    if (window_ == nullptr) {
        return design_.clientWidth;
    }
    RECT client{};
    ::GetClientRect(window_, &client);
    return ::MulDiv(client.right, quell::design::kTwipsPerInch, static_cast<int>(dpi_));
}

}  // namespace platform::win32
