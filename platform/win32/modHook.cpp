#include "platform/win32/modHook.h"

#include <windows.h>

namespace platform::win32 {
namespace {

constexpr int kHotKeyId = 0;

// One hook per process, as the hot key belongs to the one main window; the window procedure
// has no other way to reach it.
struct HookState {
    HWND mainWindow = nullptr;
    HWND target = nullptr;
    WNDPROC previous = nullptr;
};
HookState g_hook;

void RemoveHook() {
    if (g_hook.mainWindow == nullptr) {
        return;
    }
    ::UnregisterHotKey(g_hook.mainWindow, kHotKeyId);
    if (g_hook.previous != nullptr) {
        ::SetWindowLongPtrW(g_hook.mainWindow, GWLP_WNDPROC,
                            reinterpret_cast<LONG_PTR>(g_hook.previous));
    }
    g_hook = {};
}

LRESULT CALLBACK HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC previous = g_hook.previous;
    if (message == WM_NCDESTROY) {
        RemoveHook();
    } else if (message == WM_HOTKEY) {
        ::PostMessageW(g_hook.target, WM_MOUSEMOVE, 0, 0);
    }
    return ::CallWindowProcW(previous, window, message, wParam, lParam);
}

}  // namespace

bool modHook::Install(WindowHandle mainWindow, WindowHandle target) {
    RemoveHook();
    g_hook.mainWindow = reinterpret_cast<HWND>(mainWindow);
    g_hook.target = reinterpret_cast<HWND>(target);
    const bool registered = ::RegisterHotKey(g_hook.mainWindow, kHotKeyId, MOD_WIN, 'Z') != 0;
    g_hook.previous = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        g_hook.mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookProc)));
    return registered;
}

void modHook::Remove() {
    RemoveHook();
}

}  // namespace platform::win32
