#include "platform/win32/modHook.h"

#include <windows.h>

#include <commctrl.h>

#include "platform/win32/Guarded.h"

namespace platform::win32 {
namespace {

constexpr int kHotKeyId = 0;
constexpr UINT_PTR kSubclassId = 0x686B;  // one hot-key subclass per window

LRESULT CALLBACK HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR target) {
    return Guarded([&]() -> LRESULT {
        if (message == WM_NCDESTROY) {
            ::UnregisterHotKey(window, kHotKeyId);
            ::RemoveWindowSubclass(window, &HookProc, kSubclassId);
        } else if (message == WM_HOTKEY) {
            ::PostMessageW(reinterpret_cast<HWND>(target), WM_MOUSEMOVE, 0, 0);
        }
        return ::DefSubclassProc(window, message, wParam, lParam);
    });
}

}  // namespace

bool modHook::Install(WindowHandle mainWindow, WindowHandle target) {
    Remove();
    mainWindow_ = mainWindow;
    const auto window = reinterpret_cast<HWND>(mainWindow);
    const bool registered = ::RegisterHotKey(window, kHotKeyId, MOD_WIN, 'Z') != 0;
    ::SetWindowSubclass(window, &HookProc, kSubclassId, static_cast<DWORD_PTR>(target));
    return registered;
}

void modHook::Remove() {
    if (mainWindow_ == 0) {
        return;
    }
    // Both fail harmlessly on a window already destroyed, which removed them itself.
    const auto window = reinterpret_cast<HWND>(mainWindow_);
    ::UnregisterHotKey(window, kHotKeyId);
    ::RemoveWindowSubclass(window, &HookProc, kSubclassId);
    mainWindow_ = 0;
}

}  // namespace platform::win32
