// QuellPane's entry point: COM for the user-interface thread, then the program itself.
#include <windows.h>

#include <objbase.h>

#include "app/App.h"
#include "platform/win32/ComSecurity.h"
#include "platform/win32/SingleInstance.h"

namespace {

// How long a second start looks for the running copy's window, made just after its mutex.
constexpr DWORD kFindRunningCopyMs = 5000;

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before any window: a second copy would listen to every browser window a second time and
    // count each blocked popup twice. It shows the running copy instead.
    const platform::win32::InstanceLock lock;
    if (!lock.first()) {
        (void)platform::win32::AskRunningCopyToShow(kFindRunningCopyMs);
        return 0;
    }
    // The browsers' events arrive on this thread, so it must be a single-threaded apartment.
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    // Before any object is handed out; a failure leaves COM's defaults and is shown, not fatal.
    app::App program(platform::win32::ApplyComSecurity());
    const int result = program.Run();
    ::CoUninitialize();
    return result;
}
