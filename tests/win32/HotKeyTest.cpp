#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "platform/win32/Win32WindowZOrder.h"
#include "platform/win32/modHook.h"

namespace platform::win32 {
namespace {

struct Seen {
    int hotKeys = 0;
    int moves = 0;
    int movesDuringHotKey = 0;
    WPARAM moveWParam = 99;
    LPARAM moveLParam = 99;
};
Seen g_seen;

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HOTKEY) {
        ++g_seen.hotKeys;
        MSG pending;
        // The toggle must not have run yet: it is posted, not sent.
        if (::PeekMessageW(&pending, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE)) {
            g_seen.movesDuringHotKey += g_seen.moves;
        }
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEMOVE) {
        ++g_seen.moves;
        g_seen.moveWParam = wParam;
        g_seen.moveLParam = lParam;
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageW(&msg);
    }
}

class HotKeyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_seen = {};
        const HINSTANCE instance = ::GetModuleHandleW(nullptr);
        WNDCLASSW main{};
        main.lpfnWndProc = MainProc;
        main.hInstance = instance;
        main.lpszClassName = L"QuellHotKeyMain";
        ::RegisterClassW(&main);
        WNDCLASSW target{};
        target.lpfnWndProc = TargetProc;
        target.hInstance = instance;
        target.lpszClassName = L"QuellHotKeyTarget";
        ::RegisterClassW(&target);
        mainWindow = ::CreateWindowExW(0, L"QuellHotKeyMain", L"main", WS_OVERLAPPEDWINDOW, 0, 0,
                                       200, 200, nullptr, nullptr, instance, nullptr);
        targetWindow = ::CreateWindowExW(0, L"QuellHotKeyTarget", L"", WS_CHILD, 900, 10, 50, 50,
                                         mainWindow, nullptr, instance, nullptr);
        ASSERT_NE(mainWindow, nullptr);
        ASSERT_NE(targetWindow, nullptr);
    }
    void TearDown() override {
        hook.Remove();
        if (::IsWindow(mainWindow)) {
            ::DestroyWindow(mainWindow);
        }
    }
    WindowHandle Handle(HWND window) { return reinterpret_cast<WindowHandle>(window); }

    modHook hook;
    HWND mainWindow = nullptr;
    HWND targetWindow = nullptr;
};

TEST_F(HotKeyTest, HotKeyBecomesOneMouseMoveAfterItsMessage) {
    EXPECT_TRUE(hook.Install(Handle(mainWindow), Handle(targetWindow)));
    ::SendMessageW(mainWindow, WM_HOTKEY, 0, MAKELPARAM(MOD_WIN, 'Z'));
    EXPECT_EQ(g_seen.hotKeys, 1);  // the window's own procedure still sees it
    EXPECT_EQ(g_seen.moves, 0);
    Pump();
    EXPECT_EQ(g_seen.moves, 1);
    EXPECT_EQ(g_seen.moveWParam, 0u);
    EXPECT_EQ(g_seen.moveLParam, 0);
    ::SendMessageW(mainWindow, WM_HOTKEY, 5, 0);  // whatever the identifier
    Pump();
    EXPECT_EQ(g_seen.moves, 2);
}

TEST_F(HotKeyTest, RemovedHookPostsNothingAndFreesTheKey) {
    ASSERT_TRUE(hook.Install(Handle(mainWindow), Handle(targetWindow)));
    hook.Remove();
    hook.Remove();  // twice does no harm
    ::SendMessageW(mainWindow, WM_HOTKEY, 0, 0);
    Pump();
    EXPECT_EQ(g_seen.moves, 0);
    // The key is free again for whoever asks next.
    EXPECT_TRUE(::RegisterHotKey(mainWindow, 7, MOD_WIN, 'Z'));
    ::UnregisterHotKey(mainWindow, 7);
}

TEST_F(HotKeyTest, KeyHeldElsewhereIsReportedButHookStillWorks) {
    HWND other = ::CreateWindowExW(0, L"QuellHotKeyMain", L"other", 0, 0, 0, 10, 10, nullptr,
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(::RegisterHotKey(other, 0, MOD_WIN, 'Z'));
    EXPECT_FALSE(hook.Install(Handle(mainWindow), Handle(targetWindow)));
    ::SendMessageW(mainWindow, WM_HOTKEY, 0, 0);
    Pump();
    EXPECT_EQ(g_seen.moves, 1);
    ::UnregisterHotKey(other, 0);
    ::DestroyWindow(other);
}

TEST_F(HotKeyTest, DestroyingTheWindowRemovesTheHook) {
    ASSERT_TRUE(hook.Install(Handle(mainWindow), Handle(targetWindow)));
    ::DestroyWindow(mainWindow);
    HWND next = ::CreateWindowExW(0, L"QuellHotKeyMain", L"next", 0, 0, 0, 10, 10, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    EXPECT_TRUE(::RegisterHotKey(next, 0, MOD_WIN, 'Z'));
    ::UnregisterHotKey(next, 0);
    ::DestroyWindow(next);
}

constexpr UINT kCounted = WM_APP + 5;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR count) {
    if (message == kCounted) {
        ++*reinterpret_cast<int*>(count);
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

// The tray subclasses the same window; neither may drop the other, in whatever order they go.
TEST_F(HotKeyTest, RemovingTheHookKeepsASubclassAddedAfterIt) {
    ASSERT_TRUE(hook.Install(Handle(mainWindow), Handle(targetWindow)));
    int count = 0;
    ASSERT_TRUE(
        ::SetWindowSubclass(mainWindow, &CountingProc, 1, reinterpret_cast<DWORD_PTR>(&count)));
    hook.Remove();
    ::SendMessageW(mainWindow, kCounted, 0, 0);
    EXPECT_EQ(count, 1);
    ::RemoveWindowSubclass(mainWindow, &CountingProc, 1);
}

TEST_F(HotKeyTest, TopmostBandChangesNeitherPlaceNorSize) {
    ::SetWindowPos(mainWindow, nullptr, 40, 50, 300, 200, SWP_NOZORDER);
    Win32WindowZOrder zorder;
    ASSERT_TRUE(zorder.SetWindowPos(Handle(mainWindow), kHwndTopmost, kSwpNoMove | kSwpNoSize));
    EXPECT_TRUE(::GetWindowLongW(mainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
    ASSERT_TRUE(zorder.SetWindowPos(Handle(mainWindow), kHwndNoTopmost, kSwpNoMove | kSwpNoSize));
    EXPECT_FALSE(::GetWindowLongW(mainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT rect;
    ::GetWindowRect(mainWindow, &rect);
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.top, 50);
    EXPECT_EQ(rect.right - rect.left, 300);
    EXPECT_EQ(rect.bottom - rect.top, 200);
}

}  // namespace
}  // namespace platform::win32
