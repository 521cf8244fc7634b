#include "platform/win32/Win32WindowZOrder.h"

#include <windows.h>

namespace platform::win32 {

bool Win32WindowZOrder::SetWindowPos(WindowHandle window, WindowHandle insertAfter,
                                     unsigned flags) {
    return ::SetWindowPos(reinterpret_cast<HWND>(window), reinterpret_cast<HWND>(insertAfter), 0, 0,
                          0, 0, flags) != 0;
}

}  // namespace platform::win32
