#include "platform/win32/Win32Controls.h"

#include <richedit.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <new>

#include "platform/win32/Unicode.h"

namespace platform::win32 {
namespace {

using quell::design::Border;
using quell::design::ControlDesign;
using quell::design::ControlKind;

// Items are kept as the list text holds them, each followed by CR LF, so that the whole text
// of a box is one copy.
constexpr std::string_view kSeparator = "\r\n";

// Room for `size` elements and some to spare: after its load a list grows an entry at a time,
// and reserving just enough each time would copy the whole list at every add.
template <class Buffer>
void ReserveWithRoom(Buffer& buffer, std::size_t size) {
    if (size > buffer.capacity()) {
        buffer.reserve(size + size / 8);
    }
}

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

void Win32ListBox::Attach(HWND control) {
    control_ = control;
    bytes_.clear();
    ends_.clear();
    if (control_ != nullptr) {
        ::SetWindowLongPtrW(control_, GWL_STYLE,
                            ::GetWindowLongPtrW(control_, GWL_STYLE) | LBS_HASSTRINGS);
    }
}

std::string_view Win32ListBox::At(std::size_t index) const {
    const std::size_t start = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(bytes_).substr(start, ends_[index] - start - kSeparator.size());
}

void Win32ListBox::Truncate(std::size_t count) {
    if (count < Count()) {
        bytes_.resize(count == 0 ? 0 : ends_[count - 1]);
        ends_.resize(count);
    }
}

bool Win32ListBox::AddItem(const std::string& item) {
    const std::string_view one[] = {item};
    return AddItems(one);
}

bool Win32ListBox::AddItems(std::span<const std::string_view> items) {
    if (control_ == nullptr) {
        return items.empty();
    }
    const std::size_t before = Count();
    try {
        std::size_t size = bytes_.size();
        for (const std::string_view item : items) {
            size += item.size() + kSeparator.size();
        }
        ReserveWithRoom(bytes_, size);
        ReserveWithRoom(ends_, before + items.size());
        for (const std::string_view item : items) {
            bytes_ += item;
            bytes_ += kSeparator;
            ends_.push_back(bytes_.size());
        }
    } catch (const std::bad_alloc&) {
        Truncate(before);
        return false;
    }
    // One message for any number of items; LB_ERR or LB_ERRSPACE when the box is out of room.
    if (::SendMessageW(control_, LB_SETCOUNT, Count(), 0) < 0) {
        Truncate(before);
        ::SendMessageW(control_, LB_SETCOUNT, before, 0);
        return false;
    }
    return true;
}

void Win32ListBox::RemoveItem(int index) {
    if (control_ == nullptr || index < 0 || static_cast<std::size_t>(index) >= Count() ||
        ::SendMessageW(control_, LB_DELETESTRING, static_cast<WPARAM>(index), 0) == LB_ERR) {
        return;
    }
    const auto at = static_cast<std::size_t>(index);
    const std::size_t length = At(at).size() + kSeparator.size();
    bytes_.erase(ends_[at] - length, length);
    ends_.erase(ends_.begin() + index);
    for (std::size_t i = at; i < ends_.size(); ++i) {
        ends_[i] -= length;
    }
}

void Win32ListBox::Clear() {
    if (control_ != nullptr) {
        ::SendMessageW(control_, LB_RESETCONTENT, 0, 0);
    }
    bytes_.clear();
    ends_.clear();
}

int Win32ListBox::ListCount() const {
    return control_ == nullptr ? 0 : static_cast<int>(std::min<std::size_t>(Count(), INT_MAX));
}

std::string Win32ListBox::List(int index) const {
    if (control_ == nullptr || index < 0 || static_cast<std::size_t>(index) >= Count()) {
        return {};
    }
    return std::string(At(static_cast<std::size_t>(index)));
}

std::string Win32ListBox::ItemsText() const {
    std::string text;
    text.reserve(bytes_.size() + kSeparator.size());  // and the CR LF a rewrite adds
    text = bytes_;
    return text;
}

bool Win32ListBox::Selected(int index) const {
    return control_ != nullptr && index >= 0 &&
           ::SendMessageW(control_, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void Win32ListBox::Draw(const DRAWITEMSTRUCT& item) const {
    const HDC dc = item.hDC;
    RECT row = item.rcItem;
    if (item.itemID < Count()) {
        const bool selected = (item.itemState & ODS_SELECTED) != 0;
        const COLORREF text =
            selected ? ::SetTextColor(dc, ::GetSysColor(COLOR_HIGHLIGHTTEXT)) : ::GetTextColor(dc);
        const COLORREF back =
            ::SetBkColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        // Nothing past the first few hundred characters fits in the box; a 1 MB entry is not
        // laid out whole at every paint.
        constexpr std::size_t kShownBytes = 4096;
        const std::wstring shown = Widen(At(item.itemID).substr(0, kShownBytes));
        ::ExtTextOutW(dc, row.left + 2, row.top, ETO_OPAQUE | ETO_CLIPPED, &row, shown.data(),
                      static_cast<UINT>(shown.size()), nullptr);
        ::SetTextColor(dc, text);
        ::SetBkColor(dc, back);
    }
    if ((item.itemState & ODS_FOCUS) != 0) {
        ::DrawFocusRect(dc, &row);
    }
}

LRESULT Win32ListBox::TextLength(WPARAM index) const {
    return index < Count() ? static_cast<LRESULT>(Widen(At(index)).size()) : LB_ERR;
}

LRESULT Win32ListBox::CopyText(WPARAM index, wchar_t* buffer) const {
    if (index >= Count() || buffer == nullptr) {
        return LB_ERR;
    }
    const std::wstring text = Widen(At(index));
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = L'\0';
    return static_cast<LRESULT>(text.size());
}

void Win32ListBox::FitItemHeight() const {
    if (control_ == nullptr) {
        return;
    }
    const HDC dc = ::GetDC(control_);
    const HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control_, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, old);
    ::ReleaseDC(control_, dc);
    ::SendMessageW(control_, LB_SETITEMHEIGHT, 0, MAKELPARAM(metrics.tmHeight, 0));
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

namespace platform::win32 {

std::vector<Win32ListView::Column> Win32ListView::Columns() const {
    std::vector<Column> columns;
    std::string_view rest = columns_;
    while (!rest.empty()) {
        const std::size_t bar = rest.find('|');
        const std::string_view column = rest.substr(0, bar);
        rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
        const std::size_t colon = column.rfind(':');
        const int twips = colon == std::string_view::npos
                              ? quell::design::kTwipsPerInch
                              : std::atoi(std::string(column.substr(colon + 1)).c_str());
        columns.push_back({column.substr(0, colon), twips});
    }
    return columns;
}

void Win32ListView::Attach(HWND control, std::string_view columns, UINT dpi) {
    control_ = control;
    columns_ = columns;
    if (control_ == nullptr) {
        return;
    }
    ::SendMessageW(control_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                   LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP | LVS_EX_DOUBLEBUFFER);
    int index = 0;
    for (const Column& column : Columns()) {
        const std::wstring caption = Widen(column.caption);
        LVCOLUMNW header{};
        header.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        header.pszText = const_cast<wchar_t*>(caption.c_str());
        header.cx = ::MulDiv(column.twips, static_cast<int>(dpi), quell::design::kTwipsPerInch);
        header.iSubItem = index;
        ::SendMessageW(control_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(&header));
        ++index;
    }
}

void Win32ListView::SetDpi(UINT dpi) {
    if (control_ == nullptr) {
        return;
    }
    int index = 0;
    for (const Column& column : Columns()) {
        ::SendMessageW(control_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index++),
                       ::MulDiv(column.twips, static_cast<int>(dpi), quell::design::kTwipsPerInch));
    }
}

bool Win32ListView::InsertRow(int index, std::span<const std::string> cells) {
    if (control_ == nullptr || cells.empty()) {
        return false;
    }
    std::wstring text = Widen(cells[0]);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = text.data();
    const auto row = static_cast<int>(
        ::SendMessageW(control_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) {
        return false;
    }
    for (std::size_t column = 1; column < cells.size(); ++column) {
        text = Widen(cells[column]);
        LVITEMW cell{};
        cell.iSubItem = static_cast<int>(column);
        cell.pszText = text.data();
        ::SendMessageW(control_, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(&cell));
    }
    return true;
}

void Win32ListView::RemoveRow(int index) {
    if (control_ != nullptr) {
        ::SendMessageW(control_, LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
    }
}

void Win32ListView::Clear() {
    if (control_ != nullptr) {
        ::SendMessageW(control_, LVM_DELETEALLITEMS, 0, 0);
    }
}

int Win32ListView::RowCount() const {
    return control_ != nullptr ? static_cast<int>(::SendMessageW(control_, LVM_GETITEMCOUNT, 0, 0))
                               : 0;
}

std::string Win32ListView::Cell(int row, int column) const {
    if (control_ == nullptr) {
        return {};
    }
    // The view cuts a text to the buffer it is given: grow it until the text fits.
    std::wstring buffer(256, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const auto length = static_cast<std::size_t>(::SendMessageW(
            control_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < buffer.size()) {
            buffer.resize(length);
            return Narrow(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool Win32ListView::RowSelected(int row) const {
    return control_ != nullptr &&
           (::SendMessageW(control_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) &
            LVIS_SELECTED) != 0;
}

}  // namespace platform::win32
