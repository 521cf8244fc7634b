#include "platform/win32/Win32Controls.h"

#include <richedit.h>

#include "platform/win32/Unicode.h"

namespace platform::win32 {
namespace {

using quell::design::Border;
using quell::design::ControlDesign;
using quell::design::ControlKind;

// A new panel's width until the program sets one: one inch.
constexpr int kDefaultPanelTwips = 1440;

bool StartsGroup(const quell::design::WindowDesign& window, std::size_t index) {
    const ControlDesign& control = window.controls[index];
    return index == 0 || control.kind == ControlKind::Frame ||
           control.parent != window.controls[index - 1].parent;
}

DWORD CALLBACK ReadFileChunk(DWORD_PTR file, LPBYTE buffer, LONG size, LONG* read) {
    DWORD got = 0;
    if (!::ReadFile(reinterpret_cast<HANDLE>(file), buffer, static_cast<DWORD>(size), &got,
                    nullptr)) {
        return 1;  // stops the stream with an error
    }
    *read = static_cast<LONG>(got);
    return 0;
}

}  // namespace

ControlClass ClassFor(const quell::design::WindowDesign& window, std::size_t index) {
    const ControlDesign& control = window.controls[index];
    DWORD common = WS_CHILD;
    if (control.visible) {
        common |= WS_VISIBLE;
    }
    if (StartsGroup(window, index)) {
        common |= WS_GROUP;
    }
    switch (control.kind) {
        case ControlKind::Label:
            return {L"STATIC", common | SS_LEFT | SS_NOTIFY, 0};
        case ControlKind::TextBox:
            return {L"EDIT", common | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::ListBox:
            return {L"LISTBOX",
                    common | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                        LBS_NODATA | LBS_OWNERDRAWFIXED,
                    WS_EX_CLIENTEDGE};
        case ControlKind::CheckBox:
            // Not an automatic box: the window toggles it, so that a user's click and a
            // value set by the program raise the same single event.
            return {L"BUTTON", common | WS_TABSTOP | BS_3STATE | BS_FLAT, 0};
        case ControlKind::Button:
            return {L"BUTTON", common | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, 0};
        case ControlKind::Frame:
            return {L"BUTTON", common | BS_GROUPBOX, 0};
        case ControlKind::PictureBox:
            return {kPictureBoxClass, common | WS_CLIPSIBLINGS, 0};
        case ControlKind::StatusBar:
            // A panel's text that does not fit shows whole in its tooltip.
            return {
                STATUSCLASSNAMEW,
                common | SBT_TOOLTIPS | (window.border == Border::Sizable ? SBARS_SIZEGRIP : 0u),
                0};
        case ControlKind::ListView:
            return {WC_LISTVIEWW, common | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS,
                    WS_EX_CLIENTEDGE};
        case ControlKind::RichText:
            return {MSFTEDIT_CLASS,
                    common | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                    WS_EX_CLIENTEDGE};
    }
    return {L"STATIC", common, 0};
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

LRESULT ControlReflection::OnCtlColor(UINT message, HDC dc, LRESULT brush) const {
    if (message != WM_CTLCOLORSTATIC || !background_ || !background_(dc)) {
        return brush;
    }
    ::SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
}

std::string Win32TextBox::Text() const {
    return control_ == nullptr ? std::string() : Narrow(WindowText(control_));
}

void Win32TextBox::SetText(const std::string& text) {
    if (control_ != nullptr) {
        ::SetWindowTextW(control_, Widen(text).c_str());
    }
}

void Win32CheckBox::Attach(HWND control) {
    control_ = control;
    value_ =
        control_ != nullptr ? static_cast<int>(::SendMessageW(control_, BM_GETCHECK, 0, 0)) : 0;
}

int Win32CheckBox::Value() const {
    return value_;
}

void Win32CheckBox::SetValue(int value) {
    if (control_ == nullptr || value < BST_UNCHECKED || value > BST_INDETERMINATE ||
        value == Value()) {
        return;
    }
    ::SendMessageW(control_, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    value_ = value;
    clicked_();
}

void Win32CheckBox::OnUserClick() {
    SetValue(Value() == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
}

void Win32CheckBox::OnLabelClick() {
    ::SetFocus(control_);
    OnUserClick();
}

void Win32CheckBox::OnCommand(int code) {
    if (code == BN_CLICKED) {
        OnUserClick();
    }
}

void Win32Label::OnCommand(int code) {
    if (code != STN_CLICKED) {
        return;
    }
    if (box_ != nullptr) {
        box_->OnLabelClick();
    } else {
        clicked_();
    }
}

void Win32StatusBar::Attach(HWND control, UINT dpi) {
    control_ = control;
    dpi_ = dpi;
    widthsTwips_.clear();
    ApplyPanels();
}

void Win32StatusBar::SetDpi(UINT dpi) {
    dpi_ = dpi;
    ApplyPanels();
}

void Win32StatusBar::SetPanelText(int panel, const std::string& text) {
    if (control_ != nullptr && panel >= 1 && panel <= PanelCount()) {
        const std::wstring wide = Widen(text);
        ::SendMessageW(control_, SB_SETTEXTW, static_cast<WPARAM>(panel - 1),
                       reinterpret_cast<LPARAM>(wide.c_str()));
        ::SendMessageW(control_, SB_SETTIPTEXTW, static_cast<WPARAM>(panel - 1),
                       reinterpret_cast<LPARAM>(wide.c_str()));
    }
}

void Win32StatusBar::AddPanel() {
    if (control_ != nullptr) {
        widthsTwips_.push_back(kDefaultPanelTwips);
        ApplyPanels();
    }
}

int Win32StatusBar::PanelCount() const {
    return static_cast<int>(widthsTwips_.size());
}

void Win32StatusBar::SetPanelWidth(int panel, int twips) {
    if (panel >= 1 && panel <= PanelCount() && twips >= 0) {
        widthsTwips_[static_cast<std::size_t>(panel - 1)] = twips;
        ApplyPanels();
    }
}

LRESULT Win32StatusBar::OnNotify(const NMHDR& header) {
    if (header.code == NM_CLICK) {
        const auto& mouse = reinterpret_cast<const NMMOUSE&>(header);
        clicked_(mouse.dwItemSpec == static_cast<DWORD_PTR>(-1)
                     ? 0
                     : static_cast<int>(mouse.dwItemSpec) + 1);
    }
    return 0;
}

void Win32StatusBar::ApplyPanels() const {
    if (control_ == nullptr) {
        return;
    }
    // SB_SETPARTS takes right edges; with no panel the bar is one empty part.
    std::vector<int> edges;
    int right = 0;
    for (const int twips : widthsTwips_) {
        right += quell::design::TwipsToPixels(twips, static_cast<int>(dpi_));
        edges.push_back(right);
    }
    if (edges.empty()) {
        edges.push_back(-1);
    }
    ::SendMessageW(control_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

bool Win32RichText::LoadFile(const std::string& path) {
    if (control_ == nullptr) {
        return false;
    }
    const UniqueFileHandle file(::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                              nullptr));
    if (!file) {
        return false;
    }
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(file.get());
    stream.pfnCallback = &ReadFileChunk;
    ::SendMessageW(control_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    // Lines wrap at the view's own width, whatever page size the document asks for.
    ::SendMessageW(control_, EM_SETTARGETDEVICE, 0, 0);
    return stream.dwError == 0;
}

}  // namespace platform::win32
