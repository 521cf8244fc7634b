// QuellPane's entry point: COM for the user-interface thread, then the program itself.
#include <windows.h>

#include <objbase.h>

#include "platform/win32/App.h"
#include "platform/win32/ComSecurity.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The browsers' events arrive on this thread, so it must be a single-threaded apartment.
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    // Before any object is handed out; a failure leaves COM's defaults and is shown, not fatal.
    platform::win32::App app(platform::win32::ApplyComSecurity());
    const int result = app.Run();
    ::CoUninitialize();
    return result;
}
