// QuellPane's entry point: COM and the common controls for the user-interface thread, then
// the program itself.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "platform/win32/App.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The browsers' events arrive on this thread, so it must be a single-threaded apartment.
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    platform::win32::App app;
    const int result = app.Run();
    ::CoUninitialize();
    return result;
}
