#include "platform/standin/BrowserWindow.h"

#include <chrono>
#include <iterator>
#include <vector>

#include "platform/standin/Options.h"
#include "platform/standin/RequestLog.h"
#include "platform/standin/StandInApp.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/Handles.h"

namespace standin {
namespace {

constexpr const wchar_t* kLinkClass = L"QuellPaneStandInLink";
// Link notifications, posted so that the events they raise never nest in mouse handling.
constexpr int kLinkHover = 0x100;
constexpr int kLinkLeave = 0x101;
constexpr int kLinkFontSlot = 0;
constexpr int kLinkTrackingSlot = static_cast<int>(sizeof(LONG_PTR));

enum class Font { Text, Link };

// Positions in pixels at 96 DPI, scaled to the system's DPI when the window is built.
struct ControlSpec {
    int id;
    const wchar_t* windowClass;
    const wchar_t* text;
    DWORD style;
    int left;
    int top;
    int width;
    int height;
    Font font = Font::Text;
};

constexpr int kClientWidth = 560;
// Placed by the program: with no window manager (Wine on a bare display) every default
// position is the screen's corner.
constexpr int kCascadeStep = 32;
constexpr int kCascadeRows = 12;
constexpr int kClientHeight = 160;

constexpr ControlSpec kControls[] = {
    {0, L"STATIC", L"Address:", SS_LEFT, 8, 11, 90, 18},
    {kAddressEdit, L"EDIT", L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 100, 8, 380, 22},
    {kGoButton, L"BUTTON", L"Go", WS_TABSTOP | BS_PUSHBUTTON, 488, 8, 64, 22},
    {0, L"STATIC", L"Link:", SS_LEFT, 8, 40, 90, 18},
    {kLink, kLinkClass, L"", 0, 100, 40, 452, 18, Font::Link},
    {0, L"STATIC", L"Popup address:", SS_LEFT, 8, 71, 90, 18},
    {kPopupEdit, L"EDIT", L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 100, 68, 452, 22},
    {0, L"STATIC", L"Popup raises:", SS_LEFT, 8, 103, 90, 18},
    {kRaiseSelector, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 100, 100, 160,
     120},
    {kPopupButton, L"BUTTON", L"Popup", WS_TABSTOP | BS_PUSHBUTTON, 272, 99, 88, 24},
    {kNewWindowButton, L"BUTTON", L"New window", WS_TABSTOP | BS_PUSHBUTTON, 368, 99, 104, 24},
    {kLastAnswer, L"STATIC", L"Last popup: none", SS_LEFT, 8, 134, 544, 18},
};

int Scale(int pixels) {
    return platform::win32::ScaleFromDefault(pixels, ::GetDpiForSystem());
}

void NotifyParent(HWND link, int code) {
    ::PostMessageW(::GetParent(link), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(link), code),
                   reinterpret_cast<LPARAM>(link));
}

void PaintLink(HWND link) {
    const platform::win32::PaintDc paint(link);
    const HDC dc = paint.get();
    const auto font = reinterpret_cast<HFONT>(::GetWindowLongPtrW(link, kLinkFontSlot));
    const platform::win32::SelectedObject selected(dc, font);
    ::SetTextColor(dc, RGB(0, 0, 238));
    ::SetBkMode(dc, TRANSPARENT);
    wchar_t text[2048];
    ::GetWindowTextW(link, text, static_cast<int>(std::size(text)));
    RECT area;
    ::GetClientRect(link, &area);
    ::DrawTextW(dc, text, -1, &area, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

// A hyperlink-looking control: tells its parent when the mouse comes over it, leaves it, and
// clicks it.
LRESULT CALLBACK LinkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
            if (::GetWindowLongPtrW(link, kLinkTrackingSlot) == 0) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, link, 0};
                if (::TrackMouseEvent(&track)) {
                    ::SetWindowLongPtrW(link, kLinkTrackingSlot, 1);
                    NotifyParent(link, kLinkHover);
                }
            }
            return 0;
        case WM_MOUSELEAVE:
            ::SetWindowLongPtrW(link, kLinkTrackingSlot, 0);
            NotifyParent(link, kLinkLeave);
            return 0;
        case WM_LBUTTONUP:
            NotifyParent(link, STN_CLICKED);
            return 0;
        case WM_SETCURSOR:
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        case WM_SETFONT:
            ::SetWindowLongPtrW(link, kLinkFontSlot, static_cast<LONG_PTR>(wParam));
            return 0;
        case WM_GETFONT:
            return ::GetWindowLongPtrW(link, kLinkFontSlot);
        case WM_SETTEXT: {
            const LRESULT result = ::DefWindowProcW(link, message, wParam, lParam);
            ::InvalidateRect(link, nullptr, TRUE);
            return result;
        }
        case WM_PAINT:
            PaintLink(link);
            return 0;
        default:
            return ::DefWindowProcW(link, message, wParam, lParam);
    }
}

struct CreateParams {
    BrowserWindow* self;
    const std::wstring* url;
};

}  // namespace

bool BrowserWindow::RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXW browserClass{};
    browserClass.cbSize = sizeof browserClass;
    browserClass.lpfnWndProc = Trampoline;
    browserClass.hInstance = instance;
    browserClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    browserClass.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    browserClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    browserClass.lpszClassName = kBrowserWindowClass;

    WNDCLASSEXW linkClass{};
    linkClass.cbSize = sizeof linkClass;
    linkClass.lpfnWndProc = LinkProc;
    linkClass.cbWndExtra = 2 * sizeof(LONG_PTR);
    linkClass.hInstance = instance;
    linkClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    linkClass.lpszClassName = kLinkClass;
    return ::RegisterClassExW(&browserClass) != 0 && ::RegisterClassExW(&linkClass) != 0;
}

std::unique_ptr<BrowserWindow> BrowserWindow::Create(StandInApp& app, const std::wstring& url,
                                                     int sequence) {
    std::unique_ptr<BrowserWindow> self(new BrowserWindow(app));
    RECT frame{0, 0, Scale(kClientWidth), Scale(kClientHeight)};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    ::AdjustWindowRectEx(&frame, style, FALSE, 0);
    CreateParams params{self.get(), &url};
    const int offset = Scale(kCascadeStep * (sequence % kCascadeRows));
    const HWND window =
        ::CreateWindowExW(0, kBrowserWindowClass, (kCaptionPrefix + url).c_str(),
                          style | WS_VISIBLE, offset, offset, frame.right - frame.left,
                          frame.bottom - frame.top, nullptr, nullptr, app.Instance(), &params);
    if (window == nullptr || !self->browser_) {
        return nullptr;
    }
    return self;
}

BrowserWindow::BrowserWindow(StandInApp& app) : app_(app) {}

BrowserWindow::~BrowserWindow() {
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
}

void BrowserWindow::Register() {
    const BusyScope busy(*this);
    cookie_ = app_.List().Add(browser_.get());
}

void BrowserWindow::ShowLocation(const std::wstring& url) {
    ::SetWindowTextW(window_, (kCaptionPrefix + url).c_str());
    if (ControlText(kAddressEdit) != url) {
        ::SetDlgItemTextW(window_, kAddressEdit, url.c_str());
    }
}

void BrowserWindow::RequestClose() {
    ::PostMessageW(window_, WM_CLOSE, 0, 0);
}

BrowserWindow::BusyScope::BusyScope(BrowserWindow& owner) : owner_(owner) {
    ++owner_.busy_;
}

BrowserWindow::BusyScope::~BusyScope() {
    if (--owner_.busy_ == 0 && owner_.closePending_) {
        owner_.closePending_ = false;
        owner_.RequestClose();
    }
}

LRESULT CALLBACK BrowserWindow::Trampoline(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* params = static_cast<const CreateParams*>(
            reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(params->self));
        params->self->window_ = window;
    }
    auto* self = reinterpret_cast<BrowserWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_CREATE) {
        const auto* params = static_cast<const CreateParams*>(
            reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->OnCreate(window, *params->url);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->OnNcDestroy();  // may delete self
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT BrowserWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case kWindowNewObject:
            OnNewObject();
            return 0;
        case kWindowCycles:
            app_.StartCycles(static_cast<int>(wParam));
            return 0;
        case kWindowPopupEverywhere:
            if (wParam <= static_cast<WPARAM>(kMaxBurst)) {
                app_.PopupEverywhere(wParam == 0 ? 1 : static_cast<int>(wParam));
            }
            return 0;
        case kWindowBurst:
            if (wParam >= 1 && wParam <= static_cast<WPARAM>(kMaxBurst)) {
                OnPopup(kPopupButtonFlags, static_cast<int>(wParam));
            }
            return 0;
        default:
            return ::DefWindowProcW(window_, message, wParam, lParam);
    }
}

void BrowserWindow::OnCreate(HWND window, const std::wstring& url) {
    const HINSTANCE instance = app_.Instance();
    for (const ControlSpec& entry : kControls) {
        const HWND control = ::CreateWindowExW(
            entry.windowClass == std::wstring_view(L"EDIT") ? WS_EX_CLIENTEDGE : 0,
            entry.windowClass, entry.text, WS_CHILD | WS_VISIBLE | entry.style, Scale(entry.left),
            Scale(entry.top), Scale(entry.width), Scale(entry.height), window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), instance, nullptr);
        const HFONT font = entry.font == Font::Link ? app_.LinkFont() : app_.TextFont();
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    for (const RaiseModeInfo& info : kRaiseModes) {
        ::SendDlgItemMessageW(window, kRaiseSelector, CB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(info.selector.data()));
    }
    ::SendDlgItemMessageW(window, kRaiseSelector, CB_SETCURSEL,
                          static_cast<WPARAM>(app_.StartOptions().raise), 0);
    ::SetDlgItemTextW(window, kAddressEdit, url.c_str());
    // The link takes the text from the box's change notification, as after every edit.
    ::SetDlgItemTextW(window, kPopupEdit, app_.StartOptions().popup.c_str());
    browser_ = MakeComObject<Browser>(*this, url);
}

void BrowserWindow::OnCommand(int id, int code) {
    switch (id) {
        case IDOK:  // Enter, through IsDialogMessage
            if (::GetFocus() == ::GetDlgItem(window_, kPopupEdit)) {
                OnPopup(kPopupButtonFlags, app_.StartOptions().burst);
            } else {
                OnGo();
            }
            break;
        case kGoButton:
            OnGo();
            break;
        case kPopupButton:
            OnPopup(kPopupButtonFlags, app_.StartOptions().burst);
            break;
        case kNewWindowButton:
            if (!closing_) {
                app_.OpenWindow(kNewWindowUrl);
            }
            break;
        case kPopupEdit:
            if (code == EN_CHANGE) {
                ::SetDlgItemTextW(window_, kLink, ControlText(kPopupEdit).c_str());
            }
            break;
        case kLink:
            if (code == STN_CLICKED) {
                OnPopup(kLinkClickFlags, app_.StartOptions().burst);
            } else if (code == kLinkHover || code == kLinkLeave) {
                OnLinkHover(code == kLinkHover);
            }
            break;
        default:
            break;
    }
}

void BrowserWindow::OnGo() {
    if (closing_) {
        return;
    }
    const BusyScope busy(*this);
    browser_->Navigate(ControlText(kAddressEdit));
}

void BrowserWindow::OnLinkHover(bool over) {
    if (closing_) {
        return;
    }
    const BusyScope busy(*this);
    browser_->SetStatusText(over ? ControlText(kLink) : std::wstring());
}

void BrowserWindow::RequestPopup(const std::wstring& url) {
    OnPopup(kLinkClickFlags, 1, &url);
}

void BrowserWindow::OnPopup(long flags, int burst, const std::wstring* address) {
    if (closing_) {
        return;
    }
    const BusyScope busy(*this);
    std::vector<long long> times;
    int blocked = 0;
    for (int i = 0; i < burst && !closing_; ++i) {
        // The object asked: a new one may take its place while the sinks answer.
        const ComPtr<Browser> browser = browser_;
        const int request = app_.NextRequest();
        const RaiseMode mode = SelectedMode();
        const std::wstring url = address != nullptr ? *address : ControlText(kPopupEdit);
        const auto start = std::chrono::steady_clock::now();
        const bool cancel = browser->RequestNewWindow(mode, url, flags);
        const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now() - start);
        const bool opened = !cancel && app_.OpenWindow(url);
        ::SetDlgItemTextW(window_, kLastAnswer,
                          cancel ? L"Last popup: blocked" : L"Last popup: allowed");
        app_.Log().Append(RequestLogLine(
            {request, mode, cancel, opened, browser->Events().SinkCount(), took.count(), url}));
        times.push_back(took.count());
        blocked += cancel ? 1 : 0;
    }
    if (burst > 1) {
        app_.Log().Append(BurstLogLine(std::move(times), blocked));
    }
}

void BrowserWindow::OnNewObject() {
    if (closing_ || cookie_ == 0) {
        return;
    }
    const ComPtr<Browser> old = browser_;
    browser_ = MakeComObject<Browser>(*this, old->Location());
    app_.List().Replace(cookie_, browser_.get());
    old->Detach();
}

void BrowserWindow::OnClose() {
    if (closing_) {
        return;
    }
    if (busy_ > 0) {
        closePending_ = true;
        return;
    }
    closing_ = true;
    browser_->RaiseQuit();
    Unlist();
    ::DestroyWindow(window_);  // ends in OnNcDestroy
}

void BrowserWindow::OnNcDestroy() {
    Unlist();
    window_ = nullptr;
    app_.Forget(*this);
}

// Off the list (raising WindowRevoked) and out of reach of other processes; once only.
void BrowserWindow::Unlist() {
    if (cookie_ != 0) {
        app_.List().Remove(std::exchange(cookie_, 0));
    }
    if (browser_) {
        browser_->Detach();
    }
}

std::wstring BrowserWindow::ControlText(int id) const {
    const HWND control = ::GetDlgItem(window_, id);
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

RaiseMode BrowserWindow::SelectedMode() const {
    const LRESULT index = ::SendDlgItemMessageW(window_, kRaiseSelector, CB_GETCURSEL, 0, 0);
    for (const RaiseModeInfo& info : kRaiseModes) {
        if (static_cast<LRESULT>(info.mode) == index) {
            return info.mode;
        }
    }
    return app_.StartOptions().raise;
}

}  // namespace standin
