// The report-style list view adapter; its columns come from the design's text.
#include "platform/win32/Win32Controls.h"

#include <cstdlib>

#include "platform/win32/Unicode.h"

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
