#include "platform/win32/DesignedWindow.h"

#include <windowsx.h>

#include <utility>

#include "platform/win32/Dpi.h"
#include "platform/win32/Guarded.h"
#include "platform/win32/Layout.h"
#include "platform/win32/Unicode.h"

namespace platform::win32 {
namespace {

using quell::design::ControlKind;

// Designed windows are recognised by their class.
ATOM windowClassAtom = 0;

}  // namespace

DesignedWindow::DesignedWindow(const quell::design::WindowDesign& design, HINSTANCE resources,
                               std::shared_ptr<const PainterTable> painters)
    : design_(design),
      resources_(resources),
      painters_(std::move(painters)),
      iconName_(design_.icon) {
    layout_ = LayoutControls(design_, dpi_);  // a table with a dangling parent fails here
    controls_.reserve(design_.controls.size());
    for (std::size_t i = 0; i < design_.controls.size(); ++i) {
        const int index = static_cast<int>(i);
        controls_.emplace_back(
            design_.controls[i],
            [this, index] {
                Raise({EventKind::Click, index});
            },
            [this, index](int panel) {
                Raise({EventKind::Click, index, -1, panel});
            });
    }
    for (const auto& pair : design_.boxLabels) {
        Control& row = Find(pair.label, {ControlKind::Label}, "label");
        row.label.SetBox(&Find(pair.box, {ControlKind::CheckBox}, "check box").check);
    }
    PaintPicturesBehind();
}

DesignedWindow::~DesignedWindow() {
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
}

void DesignedWindow::RegisterClasses() {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&controls);
        // Registers the rich edit class; stays loaded for the life of the process.
        ::LoadLibraryW(L"msftedit.dll");

        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &DesignedWindow::WindowProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kDesignedWindowClass;
        windowClassAtom = ::RegisterClassExW(&windowClass);

        windowClass.lpfnWndProc = &::DefWindowProcW;
        windowClass.lpszClassName = kPictureBoxClass;
        ::RegisterClassExW(&windowClass);
        return true;
    }();
    (void)registered;
}

bool DesignedWindow::IsDesignedWindow(HWND window) {
    return windowClassAtom != 0 && window != nullptr &&
           ::GetClassLongPtrW(window, GCW_ATOM) == windowClassAtom;
}

bool DesignedWindow::Load() {
    if (window_ != nullptr) {
        return true;
    }
    RegisterClasses();

    UniqueMenu menuBar = CreateMenus();
    if (!CreateFrame(menuBar.get())) {
        popupMenus_.clear();
        return false;
    }
    menuBar.release();  // destroyed with the window

    dpi_ = WindowDpi(window_);
    layout_ = LayoutControls(design_, dpi_);
    if (!CreateControls()) {
        ::DestroyWindow(window_);
        return false;
    }
    CreateTooltips();
    ApplyDpi();
    PlaceWindow();
    return true;
}

void DesignedWindow::Unload() {
    if (window_ != nullptr) {
        // Safe inside the window's own handlers: the adapters outlive the window, and every
        // handler returns without touching a control after it raised its event.
        ::DestroyWindow(window_);
    }
}

bool DesignedWindow::IsLoaded() const {
    return window_ != nullptr;
}

WindowHandle DesignedWindow::Handle() const {
    return reinterpret_cast<WindowHandle>(window_);
}

void DesignedWindow::SetCaption(const std::string& caption) {
    if (window_ != nullptr) {
        ::SetWindowTextW(window_, Widen(caption).c_str());
    }
}

void DesignedWindow::StartTimer(int id, int milliseconds) {
    if (window_ != nullptr) {
        ::SetTimer(window_, static_cast<UINT_PTR>(id), static_cast<UINT>(milliseconds), nullptr);
    }
}

void DesignedWindow::StopTimer(int id) {
    if (window_ != nullptr) {
        ::KillTimer(window_, static_cast<UINT_PTR>(id));
    }
}

void DesignedWindow::SetEventHandler(std::function<void(const Event&)> handler) {
    handler_ = std::move(handler);
}

LRESULT CALLBACK DesignedWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    return Guarded([&]() -> LRESULT {
        auto* self = reinterpret_cast<DesignedWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_NCCREATE) {
            self = static_cast<DesignedWindow*>(
                reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
            self->window_ = window;
            ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        if (self == nullptr) {
            return ::DefWindowProcW(window, message, wParam, lParam);
        }
        return self->HandleMessage(message, wParam, lParam);
    });
}

LRESULT DesignedWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = window_;
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_DRAWITEM:
            if (OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) {
                return TRUE;
            }
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
            return OnCtlColor(message, reinterpret_cast<HDC>(wParam),
                              reinterpret_cast<HWND>(lParam));
        case WM_SIZE:
            OnSize();
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_ACTIVATE:
            if (OnActivate(LOWORD(wParam) != WA_INACTIVE, HIWORD(wParam) != 0)) {
                return 0;
            }
            break;
        case WM_MOUSEMOVE:
            OnMouseMove(-1, lParam);
            return 0;
        case WM_KEYDOWN:
            if (OnKeyDown(wParam)) {
                return 0;
            }
            break;
        case WM_TIMER:
            OnTimer(static_cast<int>(wParam));
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            OnEndSession(wParam != FALSE);
            return 0;
        case WM_NCDESTROY:
            OnNcDestroy();
            break;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK DesignedWindow::ControlProc(HWND control, UINT message, WPARAM wParam,
                                             LPARAM lParam, UINT_PTR index, DWORD_PTR self) {
    return Guarded([&]() -> LRESULT {
        if (message == WM_NCDESTROY) {
            ::RemoveWindowSubclass(control, &DesignedWindow::ControlProc, index);
            return ::DefSubclassProc(control, message, wParam, lParam);
        }
        auto* window = reinterpret_cast<DesignedWindow*>(self);
        return window->HandleControlMessage(window->controls_[index], control, message, wParam,
                                            lParam);
    });
}

LRESULT DesignedWindow::HandleControlMessage(Control& control, HWND hwnd, UINT message,
                                             WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return OnControlGetDlgCode(control, hwnd, wParam, reinterpret_cast<const MSG*>(lParam));
        case WM_KEYDOWN:
            if (OnControlKeyDown(control, wParam)) {
                return 0;
            }
            break;
        case WM_CHAR:
            if (OnControlChar(control, wParam)) {
                return 0;
            }
            break;
        case WM_MOUSEMOVE:
            if (OnControlMouseMove(control, lParam)) {
                return 0;
            }
            break;
        case LB_GETTEXTLEN:
            if (control.design->kind == ControlKind::ListBox) {
                return control.list.TextLength(wParam);
            }
            break;
        case LB_GETTEXT:
            if (control.design->kind == ControlKind::ListBox) {
                return control.list.CopyText(wParam, reinterpret_cast<wchar_t*>(lParam));
            }
            break;
        case WM_ERASEBKGND:
            if (control.design->kind == ControlKind::PictureBox) {
                return 1;  // WM_PAINT fills the whole picture
            }
            break;
        case WM_PAINT:
            if (OnControlPaint(control, hwnd)) {
                return 0;
            }
            break;
        default:
            break;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

void DesignedWindow::OnCommand(int id, int code, HWND control) {
    if (control == nullptr) {
        OnMenuOrDialogCommand(id);
        return;
    }
    Control* sender = FromId(id);
    if (sender == nullptr || sender->hwnd != control) {
        return;
    }
    sender->Reflection().OnCommand(code);
}

LRESULT DesignedWindow::OnNotify(const NMHDR& header) {
    Control* sender = FromHwnd(header.hwndFrom);
    return sender != nullptr ? sender->Reflection().OnNotify(header) : 0;
}

LRESULT DesignedWindow::OnCtlColor(UINT message, HDC dc, HWND control) {
    const LRESULT brush = ::DefWindowProcW(window_, message, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(control));
    Control* sender = FromHwnd(control);
    if (sender == nullptr) {
        return brush;
    }
    if (sender->design->textColor != quell::design::kDefaultColor) {
        ::SetTextColor(dc, sender->design->textColor);
    }
    return sender->Reflection().OnCtlColor(message, dc, brush);
}

bool DesignedWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
    Control* sender = FromHwnd(item.hwndItem);
    return sender != nullptr && sender->Reflection().OnDrawItem(item);
}

void DesignedWindow::OnSize() {
    for (const Control& control : controls_) {
        if (control.design->kind == ControlKind::StatusBar && control.hwnd != nullptr) {
            ::SendMessageW(control.hwnd, WM_SIZE, 0, 0);  // it docks itself to the bottom edge
        }
    }
    if (shownOnce_) {
        Raise({EventKind::Resize});
    }
}

void DesignedWindow::OnMouseMove(int control, LPARAM position) {
    Raise({EventKind::MouseMove, control, -1, -1, GET_X_LPARAM(position), GET_Y_LPARAM(position)});
}

void DesignedWindow::OnTimer(int id) {
    Raise({EventKind::Timer, -1, -1, id});
}

void DesignedWindow::OnClose() {
    // The controller decides; it calls Unload to close.
    Raise({EventKind::QueryClose});
}

void DesignedWindow::OnEndSession(bool ending) {
    if (ending) {
        Raise({EventKind::EndSession});
    }
}

void DesignedWindow::OnNcDestroy() {
    // The controls are gone by now; what they used can go too.
    for (Control& control : controls_) {
        control.Attach(nullptr, dpi_);
        control.picture.reset();
    }
    fonts_.clear();
    popupMenus_.clear();
    bigIcon_.reset();
    smallIcon_.reset();
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    window_ = nullptr;
    tooltip_ = nullptr;
    focus_ = nullptr;
    shownOnce_ = false;
    pendingState_ = WindowState::Normal;
}

void DesignedWindow::Raise(const Event& event) {
    if (!handler_) {
        return;
    }
    // A copy: the handler may replace itself, or unload the window, while it runs.
    const auto handler = handler_;
    handler(event);
}

}  // namespace platform::win32
