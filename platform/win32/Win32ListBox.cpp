// The list box adapter: the items live here, the box only knows their count.
#include "platform/win32/Win32Controls.h"

#include <algorithm>
#include <climits>
#include <new>

#include "platform/win32/Handles.h"
#include "platform/win32/Unicode.h"

namespace platform::win32 {
namespace {

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

}  // namespace

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

bool Win32ListBox::OnDrawItem(const DRAWITEMSTRUCT& item) const {
    if (item.CtlType != ODT_LISTBOX) {
        return false;
    }
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
    return true;
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
    TEXTMETRICW metrics{};
    {
        const WindowDc dc(control_);
        const SelectedObject font(
            dc.get(), reinterpret_cast<HFONT>(::SendMessageW(control_, WM_GETFONT, 0, 0)));
        ::GetTextMetricsW(dc.get(), &metrics);
    }
    ::SendMessageW(control_, LB_SETITEMHEIGHT, 0, MAKELPARAM(metrics.tmHeight, 0));
}

}  // namespace platform::win32
