#include "platform/win32/Win32EventPump.h"

namespace platform::win32 {

void Win32EventPump::DoEvents() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The outermost loop must still see it.
            quitSeen_ = true;
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (preTranslate && preTranslate(msg)) {
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void Win32EventPump::WaitForEvents() {
    if (quitSeen_) {
        // A reposted quit keeps the queue non-empty; sleep briefly instead of spinning.
        ::Sleep(10);
        return;
    }
    ::MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

}  // namespace platform::win32
