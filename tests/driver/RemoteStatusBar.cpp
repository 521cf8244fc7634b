#include "tests/driver/RemoteStatusBar.h"

#include <commctrl.h>

#include "platform/win32/Handles.h"
#include "tests/driver/CommandLine.h"
#include "tests/driver/TargetWindow.h"

namespace quelldriver {
namespace {

using platform::win32::UniqueHandle;

// Memory allocated in another process, freed with it.
class RemoteBuffer {
  public:
    RemoteBuffer(HANDLE process, std::size_t bytes)
        : process_(process),
          address_(
              ::VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {
        if (address_ == nullptr) {
            throw DriverError("cannot allocate memory in the target process (error " +
                              std::to_string(::GetLastError()) + ")");
        }
    }
    ~RemoteBuffer() { ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    void* Address() const { return address_; }
    void Write(const void* bytes, std::size_t size, std::size_t offset = 0) const {
        SIZE_T written = 0;
        if (!::WriteProcessMemory(process_, static_cast<char*>(address_) + offset, bytes, size,
                                  &written)) {
            throw DriverError("cannot write to the target process (error " +
                              std::to_string(::GetLastError()) + ")");
        }
    }
    void Read(void* bytes, std::size_t size, std::size_t offset = 0) const {
        SIZE_T read = 0;
        if (size > 0 && !::ReadProcessMemory(process_, static_cast<char*>(address_) + offset, bytes,
                                             size, &read)) {
            throw DriverError("cannot read from the target process (error " +
                              std::to_string(::GetLastError()) + ")");
        }
    }

  private:
    HANDLE process_;
    void* address_;
};

UniqueHandle OpenTarget(HWND control) {
    UniqueHandle process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                       FALSE, ProcessOf(control)));
    if (!process) {
        throw DriverError("cannot open the control's process (error " +
                          std::to_string(::GetLastError()) + ")");
    }
    return process;
}

constexpr std::size_t kCellChars = 4096;

}  // namespace

std::wstring ListViewRows(HWND listView) {
    const UniqueHandle process = OpenTarget(listView);
    const RemoteBuffer buffer(process.get(), sizeof(LVITEMW) + kCellChars * sizeof(wchar_t));
    const auto header = reinterpret_cast<HWND>(Send(listView, LVM_GETHEADER, 0, 0));
    const int columns = static_cast<int>(Send(header, HDM_GETITEMCOUNT, 0, 0));
    const int rows = static_cast<int>(Send(listView, LVM_GETITEMCOUNT, 0, 0));
    std::wstring text;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText =
                reinterpret_cast<wchar_t*>(static_cast<char*>(buffer.Address()) + sizeof item);
            item.cchTextMax = static_cast<int>(kCellChars);
            buffer.Write(&item, sizeof item);
            const auto length =
                static_cast<std::size_t>(Send(listView, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                              reinterpret_cast<LPARAM>(buffer.Address())));
            std::wstring cell(length, L'\0');
            buffer.Read(cell.data(), length * sizeof(wchar_t), sizeof item);
            text += (column > 0 ? L"\t" : L"") + cell;
        }
        text += L"\n";
    }
    return text;
}

void SelectListViewRow(HWND listView, int row) {
    const UniqueHandle process = OpenTarget(listView);
    const RemoteBuffer buffer(process.get(), sizeof(LVITEMW));
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    buffer.Write(&item, sizeof item);
    Send(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
         reinterpret_cast<LPARAM>(buffer.Address()));
    if (row >= 0) {
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        buffer.Write(&item, sizeof item);
        if (!Send(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                  reinterpret_cast<LPARAM>(buffer.Address()))) {
            throw DriverError("the list view has no row " + std::to_string(row));
        }
    }
}

int StatusPanelCount(HWND statusBar) {
    return static_cast<int>(Send(statusBar, SB_GETPARTS, 0, 0));
}

std::wstring StatusPanelText(HWND statusBar, int panel) {
    const int panels = StatusPanelCount(statusBar);
    if (panel < 1 || panel > panels) {
        throw DriverError("the status bar has " + std::to_string(panels) + " panels, not " +
                          std::to_string(panel));
    }
    const auto part = static_cast<WPARAM>(panel - 1);
    const std::size_t length = LOWORD(Send(statusBar, SB_GETTEXTLENGTHW, part, 0));
    const UniqueHandle process(::OpenProcess(
        PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, ProcessOf(statusBar)));
    if (!process) {
        throw DriverError("cannot open the status bar's process (error " +
                          std::to_string(::GetLastError()) + ")");
    }
    const RemoteBuffer buffer(process.get(), (length + 1) * sizeof(wchar_t));
    Send(statusBar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(buffer.Address()));
    std::wstring text(length, L'\0');
    SIZE_T read = 0;
    if (length > 0 && !::ReadProcessMemory(process.get(), buffer.Address(), text.data(),
                                           length * sizeof(wchar_t), &read)) {
        throw DriverError("cannot read the status text from the target process (error " +
                          std::to_string(::GetLastError()) + ")");
    }
    return text;
}

}  // namespace quelldriver
