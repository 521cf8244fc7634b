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

  private:
    HANDLE process_;
    void* address_;
};

}  // namespace

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
