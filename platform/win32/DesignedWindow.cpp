#include "platform/win32/DesignedWindow.h"

#include <uxtheme.h>
#include <vssym32.h>
#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <stdexcept>

#include "platform/win32/Dpi.h"
#include "platform/win32/Guarded.h"
#include "platform/win32/Layout.h"
#include "platform/win32/Unicode.h"

namespace platform::win32 {
namespace {

using quell::design::Border;
using quell::design::ControlKind;
using quell::design::Font;

constexpr wchar_t kWindowClass[] = L"QuellPaneDesignedWindow";
// Tooltips stay up long enough to read the longer option descriptions.
constexpr int kTooltipShowMs = 30000;
constexpr int kTooltipWidth = 300;  // pixels at 96 DPI; longer texts wrap

// PreTranslateMessage recognises designed windows by their class.
ATOM windowClassAtom = 0;

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

// The picture at the top of the button's label area and the caption centred in the rest, in
// the width it was measured in: the control would draw the caption in the narrower rectangle
// it measured, where Wine wraps a line again whose trailing space does not fit. Only for a
// button holding a picture; the control draws its frame and every other button itself.
LRESULT DrawButtonLabel(const NMCUSTOMDRAW& draw) {
    BUTTON_IMAGELIST picture{};
    if (draw.dwDrawStage != CDDS_PREPAINT ||
        !::SendMessageW(draw.hdr.hwndFrom, BCM_GETIMAGELIST, 0,
                        reinterpret_cast<LPARAM>(&picture)) ||
        picture.himl == nullptr) {
        return CDRF_DODEFAULT;
    }
    const HWND button = draw.hdr.hwndFrom;
    const ButtonLabel label = MeasureButtonLabel(button);
    int side = 0;
    int height = 0;
    ::ImageList_GetIconSize(picture.himl, &side, &height);
    const int width = label.area.right - label.area.left;
    ::ImageList_Draw(picture.himl, 0, draw.hdc, label.area.left + (width - side) / 2,
                     label.area.top + picture.margin.top, ILD_NORMAL);

    const int below = label.area.top + picture.margin.top + height + picture.margin.bottom;
    const int top =
        below + std::max(0, static_cast<int>(label.area.bottom - below - label.caption.cy) / 2);
    RECT text{label.area.left, top, label.area.right, top + label.caption.cy};
    const std::wstring caption = WindowText(button);
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(button, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = font != nullptr ? ::SelectObject(draw.hdc, font) : nullptr;
    const bool disabled = (draw.uItemState & CDIS_DISABLED) != 0;
    if (const HTHEME theme = ::GetWindowTheme(button); theme != nullptr) {
        int state = PBS_NORMAL;
        if (disabled) {
            state = PBS_DISABLED;
        } else if ((draw.uItemState & CDIS_SELECTED) != 0) {
            state = PBS_PRESSED;
        } else if ((draw.uItemState & CDIS_HOT) != 0) {
            state = PBS_HOT;
        }
        ::DrawThemeText(theme, draw.hdc, BP_PUSHBUTTON, state, caption.c_str(),
                        static_cast<int>(caption.size()), CaptionFormat(button), 0, &text);
    } else {
        if ((draw.uItemState & CDIS_SELECTED) != 0) {
            ::OffsetRect(&text, 1, 1);
        }
        const int mode = ::SetBkMode(draw.hdc, TRANSPARENT);
        const COLORREF colour =
            ::SetTextColor(draw.hdc, ::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
        ::DrawTextW(draw.hdc, caption.c_str(), static_cast<int>(caption.size()), &text,
                    CaptionFormat(button));
        ::SetTextColor(draw.hdc, colour);
        ::SetBkMode(draw.hdc, mode);
    }
    if (previous != nullptr) {
        ::SelectObject(draw.hdc, previous);
    }
    const auto cues = ::SendMessageW(button, WM_QUERYUISTATE, 0, 0);
    if ((draw.uItemState & CDIS_FOCUS) != 0 && (cues & UISF_HIDEFOCUS) == 0) {
        ::DrawFocusRect(draw.hdc, &label.area);
    }
    return CDRF_SKIPDEFAULT;
}

}  // namespace

void DesignedWindow::Control::Attach(HWND control, UINT dpi) {
    hwnd = control;
    const ControlKind kind = design->kind;
    text.Attach(quell::design::TakesText(kind) ? control : nullptr);
    check.Attach(kind == ControlKind::CheckBox ? control : nullptr);
    list.Attach(kind == ControlKind::ListBox ? control : nullptr);
    status.Attach(kind == ControlKind::StatusBar ? control : nullptr, dpi);
    rich.Attach(kind == ControlKind::RichText ? control : nullptr);
    rows.Attach(kind == ControlKind::ListView ? control : nullptr, design->text, dpi);
}

DesignedWindow::DesignedWindow(const quell::design::WindowDesign& design, HINSTANCE resources,
                               std::shared_ptr<const PainterTable> painters)
    : design_(design),
      resources_(resources),
      painters_(std::move(painters)),
      iconName_(design_.icon) {
    layout_ = LayoutControls(design_, dpi_);  // a table with a dangling parent fails here
    controls_.reserve(design_.controls.size());
    for (std::size_t i = 0; i < design_.controls.size(); ++i) {
        controls_.emplace_back(design_.controls[i], [this, index = static_cast<int>(i)] {
            Raise({EventKind::Click, index});
        });
    }
    for (const auto& pair : design_.boxLabels) {
        (void)Find(pair.label, {ControlKind::Label}, "label");
        (void)Find(pair.box, {ControlKind::CheckBox}, "check box");
    }
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
        windowClass.lpszClassName = kWindowClass;
        windowClassAtom = ::RegisterClassExW(&windowClass);

        windowClass.lpfnWndProc = &::DefWindowProcW;
        windowClass.lpszClassName = kPictureBoxClass;
        ::RegisterClassExW(&windowClass);
        return true;
    }();
    (void)registered;
}

bool DesignedWindow::Load() {
    if (window_ != nullptr) {
        return true;
    }
    RegisterClasses();

    UniqueMenu menuBar;
    popupMenus_.clear();
    for (const auto& menu : design_.menus) {
        UniqueMenu popup(::CreatePopupMenu());
        for (std::size_t i = 0; i < design_.menuItems.size(); ++i) {
            const auto& item = design_.menuItems[i];
            if (item.menu == menu.name) {
                ::AppendMenuW(popup.get(), MF_STRING, quell::design::kFirstMenuId + i,
                              Widen(item.caption).c_str());
            }
        }
        if (!menu.inMenuBar) {
            popupMenus_.emplace_back(menu.name, std::move(popup));
            continue;
        }
        if (!menuBar) {
            menuBar.reset(::CreateMenu());
        }
        // The bar owns its submenus from here on.
        ::AppendMenuW(menuBar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup.release()),
                      Widen(menu.caption).c_str());
    }

    const FrameStyle frame = StyleFor(design_);
    const bool overlapped = design_.border != Border::None;
    const int position = overlapped ? CW_USEDEFAULT : 0;
    const HWND owner = design_.showInTaskbar || !overlapped ? nullptr : HiddenOwner();
    // WM_NCCREATE stores the window in window_.
    if (::CreateWindowExW(frame.exStyle, kWindowClass, Widen(design_.caption).c_str(), frame.style,
                          position, position, 0, 0, owner, menuBar.get(),
                          ::GetModuleHandleW(nullptr), this) == nullptr) {
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

WindowHandle DesignedWindow::Handle() const {
    return reinterpret_cast<WindowHandle>(window_);
}

WindowHandle DesignedWindow::ControlHandle(quell::design::AnyControlRef control) const {
    if (control.index < 0 || static_cast<std::size_t>(control.index) >= controls_.size()) {
        throw std::invalid_argument(std::string(design_.name) + " has no control #" +
                                    std::to_string(control.index));
    }
    return reinterpret_cast<WindowHandle>(controls_[static_cast<std::size_t>(control.index)].hwnd);
}

HWND DesignedWindow::ControlHwnd(std::string_view name) const {
    return controls_[IndexOf(name)].hwnd;
}

void DesignedWindow::SetCaption(const std::string& caption) {
    if (window_ != nullptr) {
        ::SetWindowTextW(window_, Widen(caption).c_str());
    }
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

int DesignedWindow::ClientWidthTwips() const {
    if (window_ == nullptr) {
        return design_.clientWidth;
    }
    RECT client{};
    ::GetClientRect(window_, &client);
    return ::MulDiv(client.right, quell::design::kTwipsPerInch, static_cast<int>(dpi_));
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

CheckBox& DesignedWindow::Check(quell::design::CheckRef box) {
    return At(box.index, {ControlKind::CheckBox}, "check box").check;
}

ListBox& DesignedWindow::List(quell::design::ListRef list) {
    return At(list.index, {ControlKind::ListBox}, "list box").list;
}

TextBox& DesignedWindow::Text(quell::design::CaptionRef control) {
    return At(control.index,
              {ControlKind::TextBox, ControlKind::Label, ControlKind::Button, ControlKind::CheckBox,
               ControlKind::Frame},
              "control with a text")
        .text;
}

StatusBar& DesignedWindow::Status(quell::design::StatusRef bar) {
    return At(bar.index, {ControlKind::StatusBar}, "status bar").status;
}

ListView& DesignedWindow::Rows(quell::design::RowsRef view) {
    return At(view.index, {ControlKind::ListView}, "list view").rows;
}

RichTextBox& DesignedWindow::Rich(quell::design::RichRef view) {
    return At(view.index, {ControlKind::RichText}, "rich text box").rich;
}

void DesignedWindow::SetEventHandler(std::function<void(const Event&)> handler) {
    handler_ = std::move(handler);
}

bool DesignedWindow::ShowPopupMenu(std::string_view menuName, POINT screenPoint) {
    const auto menu = std::find_if(design_.menus.begin(), design_.menus.end(),
                                   [&](const auto& m) { return m.name == menuName; });
    if (menu == design_.menus.end() || menu->inMenuBar) {
        throw std::invalid_argument(std::string(design_.name) + " has no popup menu named " +
                                    std::string(menuName));
    }
    const auto popup = std::find_if(popupMenus_.begin(), popupMenus_.end(),
                                    [&](const auto& entry) { return entry.first == menuName; });
    if (window_ == nullptr || popup == popupMenus_.end()) {
        return false;
    }
    const HWND owner = window_;
    // Without the foreground the menu would not close when the user clicks elsewhere, and
    // without a message after it the next opening would close at once (tray menus).
    ::SetForegroundWindow(owner);
    const BOOL shown = ::TrackPopupMenu(popup->second.get(), TPM_RIGHTBUTTON, screenPoint.x,
                                        screenPoint.y, 0, owner, nullptr);
    ::PostMessageW(owner, WM_NULL, 0, 0);
    return shown != FALSE;
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
    switch (sender->design->kind) {
        case ControlKind::Button:
            if (code == BN_CLICKED) {
                Raise({EventKind::Click, PositionOf(*sender)});
            }
            break;
        case ControlKind::CheckBox:
            if (code == BN_CLICKED) {
                sender->check.OnUserClick();
            }
            break;
        case ControlKind::Label:
            if (code == STN_CLICKED) {
                OnLabelClick(*sender);
            }
            break;
        default:
            break;
    }
}

void DesignedWindow::OnLabelClick(const Control& label) {
    for (const auto& pair : design_.boxLabels) {
        if (pair.label == label.design->name) {
            Control& box = Find(pair.box, {ControlKind::CheckBox}, "check box");
            ::SetFocus(box.hwnd);
            box.check.OnUserClick();
            return;
        }
    }
    Raise({EventKind::Click, PositionOf(label)});
}

void DesignedWindow::OnMenuOrDialogCommand(int id) {
    // IsDialogMessage turns Esc into IDCANCEL, and Enter on a control that does not take it
    // into IDOK.
    if (id == IDCANCEL) {
        Raise({EventKind::EscapeKey});
        return;
    }
    if (id == IDOK) {
        const Control* focused = FromHwnd(::GetFocus());
        if (focused != nullptr && focused->design->kind == ControlKind::Button) {
            Raise({EventKind::Click, PositionOf(*focused)});
        }
        return;
    }
    const int item = id - quell::design::kFirstMenuId;
    if (item >= 0 && static_cast<std::size_t>(item) < design_.menuItems.size()) {
        const auto& menuItem = design_.menuItems[static_cast<std::size_t>(item)];
        Raise({EventKind::Click, -1, item, menuItem.index});
    }
}

LRESULT DesignedWindow::OnNotify(const NMHDR& header) {
    const Control* sender = FromHwnd(header.hwndFrom);
    if (sender != nullptr && sender->design->kind == ControlKind::Button &&
        header.code == NM_CUSTOMDRAW) {
        return DrawButtonLabel(reinterpret_cast<const NMCUSTOMDRAW&>(header));
    }
    if (sender != nullptr && sender->design->kind == ControlKind::StatusBar &&
        header.code == NM_CLICK) {
        // The panel clicked, numbered from 1 as the panels are; 0 beyond the last panel.
        const auto& mouse = reinterpret_cast<const NMMOUSE&>(header);
        const int panel = mouse.dwItemSpec == static_cast<DWORD_PTR>(-1)
                              ? 0
                              : static_cast<int>(mouse.dwItemSpec) + 1;
        Raise({EventKind::Click, PositionOf(*sender), -1, panel});
    }
    return 0;
}

LRESULT DesignedWindow::OnCtlColor(UINT message, HDC dc, HWND control) {
    const LRESULT brush = ::DefWindowProcW(window_, message, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(control));
    const Control* sender = FromHwnd(control);
    if (sender == nullptr) {
        return brush;
    }
    if (sender->design->textColor != quell::design::kDefaultColor) {
        ::SetTextColor(dc, sender->design->textColor);
    }
    const Control* picture = PictureBehind(*sender);
    if (message != WM_CTLCOLORSTATIC || picture == nullptr) {
        return brush;
    }
    // A label on a painted picture shows the picture around its text.
    const std::size_t labelIndex = static_cast<std::size_t>(sender - controls_.data());
    const std::size_t pictureIndex = static_cast<std::size_t>(picture - controls_.data());
    PaintPicture(*picture, dc,
                 {layout_[pictureIndex].left - layout_[labelIndex].left,
                  layout_[pictureIndex].top - layout_[labelIndex].top});
    ::SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
}

bool DesignedWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
    const Control* sender = item.CtlType == ODT_LISTBOX ? FromHwnd(item.hwndItem) : nullptr;
    if (sender == nullptr || sender->design->kind != ControlKind::ListBox) {
        return false;
    }
    sender->list.Draw(item);
    return true;
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

void DesignedWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    layout_ = LayoutControls(design_, dpi_);
    ApplyDpi();
    ::SetWindowPos(window_, nullptr, suggested.left, suggested.top,
                   suggested.right - suggested.left, suggested.bottom - suggested.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

bool DesignedWindow::OnActivate(bool active, bool minimized) {
    if (!active) {
        const HWND focused = ::GetFocus();
        if (focused != nullptr && ::IsChild(window_, focused)) {
            focus_ = focused;
        }
        return false;
    }
    if (minimized) {
        return false;
    }
    // Plain windows do not remember their focus as dialogs do.
    HWND target = focus_ != nullptr && ::IsChild(window_, focus_)
                      ? focus_
                      : ::GetNextDlgTabItem(window_, nullptr, FALSE);
    if (target == nullptr) {
        return false;
    }
    ::SetFocus(target);
    return true;
}

void DesignedWindow::OnMouseMove(int control, LPARAM position) {
    Raise({EventKind::MouseMove, control, -1, -1, GET_X_LPARAM(position), GET_Y_LPARAM(position)});
}

bool DesignedWindow::OnKeyDown(WPARAM key) {
    if (key != VK_ESCAPE) {
        return false;
    }
    Raise({EventKind::EscapeKey});
    return true;
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

LRESULT DesignedWindow::OnControlGetDlgCode(Control& control, HWND hwnd, WPARAM wParam,
                                            const MSG* message) {
    LRESULT code =
        ::DefSubclassProc(hwnd, WM_GETDLGCODE, wParam, reinterpret_cast<LPARAM>(message));
    if (message == nullptr || message->message != WM_KEYDOWN) {
        return code;
    }
    if (message->wParam == VK_ESCAPE) {
        // Esc belongs to the window, also when a multi-line control wants every key.
        code &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
    } else if (message->wParam == VK_RETURN && control.design->kind == ControlKind::TextBox) {
        code |= DLGC_WANTALLKEYS;
    }
    return code;
}

bool DesignedWindow::OnControlKeyDown(Control& control, WPARAM key) {
    const ControlKind kind = control.design->kind;
    if (key == VK_RETURN && kind == ControlKind::TextBox) {
        Raise({EventKind::EnterKey, PositionOf(control)});
        return true;
    }
    if (key == VK_DELETE && kind == ControlKind::ListBox) {
        Raise({EventKind::DeleteKey, PositionOf(control)});
        return true;
    }
    if (key == VK_ESCAPE) {
        Raise({EventKind::EscapeKey});
        return true;
    }
    return false;
}

bool DesignedWindow::OnControlChar(Control& control, WPARAM character) {
    // A single-line edit beeps at the Enter that has already raised EnterKey.
    return control.design->kind == ControlKind::TextBox &&
           (character == L'\r' || character == L'\n');
}

bool DesignedWindow::OnControlMouseMove(Control& control, LPARAM position) {
    if (control.design->kind != ControlKind::PictureBox) {
        return false;
    }
    OnMouseMove(PositionOf(control), position);
    return true;
}

bool DesignedWindow::OnControlPaint(Control& control, HWND hwnd) {
    if (control.design->kind != ControlKind::PictureBox) {
        return false;
    }
    PAINTSTRUCT paint{};
    const HDC dc = ::BeginPaint(hwnd, &paint);
    RECT client{};
    ::GetClientRect(hwnd, &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    PaintPicture(control, dc, {0, 0});
    ::EndPaint(hwnd, &paint);
    return true;
}

bool DesignedWindow::CreateControls() {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        Control& control = controls_[i];
        const ControlClass windowClass = ClassFor(design_, i);
        const RECT& rect = layout_[i];
        const HWND hwnd = ::CreateWindowExW(
            windowClass.exStyle, windowClass.name,
            Widen(control.design->kind == ControlKind::ListView ? std::string_view()
                                                                : control.design->text)
                .c_str(),
            windowClass.style, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
            window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(quell::design::kFirstControlId + i)),
            instance, nullptr);
        if (hwnd == nullptr) {
            return false;
        }
        control.Attach(hwnd, dpi_);
        ::SetWindowSubclass(hwnd, &DesignedWindow::ControlProc, i,
                            reinterpret_cast<DWORD_PTR>(this));
        if (const Control* picture = PictureBehind(control); picture != nullptr) {
            // Children are stacked below the earlier controls; a control drawn on a picture
            // must be above it.
            const HWND above = ::GetWindow(picture->hwnd, GW_HWNDPREV);
            ::SetWindowPos(hwnd, above != nullptr ? above : HWND_TOP, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    return true;
}

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
    if (tooltip_ != nullptr) {
        ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, ScaleFromDefault(kTooltipWidth, dpi_));
    }
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

const Painter* DesignedWindow::PainterFor(const Control& picture) const {
    if (painters_ == nullptr || picture.design->picture.empty()) {
        return nullptr;
    }
    const auto found = painters_->find(picture.design->picture);
    return found != painters_->end() ? &found->second : nullptr;
}

const DesignedWindow::Control* DesignedWindow::PictureBehind(const Control& control) const {
    if (control.design->parent.empty()) {
        return nullptr;
    }
    for (const Control& candidate : controls_) {
        if (candidate.design->name == control.design->parent) {
            return candidate.design->kind == ControlKind::PictureBox &&
                           PainterFor(candidate) != nullptr
                       ? &candidate
                       : nullptr;
        }
    }
    return nullptr;
}

void DesignedWindow::PaintPicture(const Control& picture, HDC dc, POINT origin) const {
    const Painter* painter = PainterFor(picture);
    if (painter == nullptr) {
        return;
    }
    const auto index = static_cast<std::size_t>(&picture - controls_.data());
    const RECT client{0, 0, layout_[index].right - layout_[index].left,
                      layout_[index].bottom - layout_[index].top};
    POINT previous{};
    ::SetViewportOrgEx(dc, origin.x, origin.y, &previous);
    (*painter)(dc, client, dpi_);
    ::SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
}

void DesignedWindow::Raise(const Event& event) {
    if (!handler_) {
        return;
    }
    // A copy: the handler may replace itself, or unload the window, while it runs.
    const auto handler = handler_;
    handler(event);
}

std::size_t DesignedWindow::IndexOf(std::string_view name) const {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i].design->name == name) {
            return i;
        }
    }
    throw std::invalid_argument(std::string(design_.name) + " has no control named " +
                                std::string(name));
}

DesignedWindow::Control& DesignedWindow::Find(std::string_view name,
                                              std::initializer_list<ControlKind> kinds,
                                              const char* what) {
    return At(static_cast<int>(IndexOf(name)), kinds, what);
}

DesignedWindow::Control& DesignedWindow::At(int index, std::initializer_list<ControlKind> kinds,
                                            const char* what) {
    if (index < 0 || static_cast<std::size_t>(index) >= controls_.size()) {
        throw std::invalid_argument(std::string(design_.name) + " has no control #" +
                                    std::to_string(index));
    }
    Control& control = controls_[static_cast<std::size_t>(index)];
    if (std::find(kinds.begin(), kinds.end(), control.design->kind) == kinds.end()) {
        throw std::invalid_argument(std::string(design_.name) + ": " +
                                    std::string(control.design->name) + " is not a " + what);
    }
    return control;
}

int DesignedWindow::PositionOf(const Control& control) const {
    return static_cast<int>(&control - controls_.data());
}

DesignedWindow::Control* DesignedWindow::FromId(int id) {
    const int index = id - quell::design::kFirstControlId;
    if (index < 0 || static_cast<std::size_t>(index) >= controls_.size()) {
        return nullptr;
    }
    return &controls_[static_cast<std::size_t>(index)];
}

DesignedWindow::Control* DesignedWindow::FromHwnd(HWND hwnd) {
    if (hwnd == nullptr) {
        return nullptr;
    }
    for (Control& control : controls_) {
        if (control.hwnd == hwnd) {
            return &control;
        }
    }
    return nullptr;
}

bool PreTranslateMessage(MSG& message) {
    if (message.hwnd == nullptr || message.message < WM_KEYFIRST || message.message > WM_KEYLAST ||
        windowClassAtom == 0) {
        return false;
    }
    const HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
    if (root == nullptr || ::GetClassLongPtrW(root, GCW_ATOM) != windowClassAtom) {
        return false;
    }
    return ::IsDialogMessageW(root, &message) != FALSE;
}

}  // namespace platform::win32
