#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/win32/Win32EventPump.h"
#include "platform/win32/Win32Sound.h"

namespace platform::win32 {
namespace {

constexpr UINT kPing = WM_APP + 7;
int g_pings = 0;

LRESULT CALLBACK PingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kPing) {
        ++g_pings;
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

ULONGLONG ThreadCpu100ns() {
    FILETIME created, exited, kernel, user;
    ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user);
    auto value = [](FILETIME t) {
        return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return value(kernel) + value(user);
}

// The prompt's wait sleeps until a message arrives instead of spinning, and the message is
// then handled by DoEvents.
TEST(Win32EventPumpTest, WaitSleepsUntilAMessageArrives) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = PingProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"QuellPingTest";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(0, L"QuellPingTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    MSG drain;
    while (::PeekMessageW(&drain, nullptr, 0, 0, PM_REMOVE)) {
    }

    Win32EventPump pump;
    g_pings = 0;
    std::thread poster([window] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        ::PostMessageW(window, kPing, 0, 0);
    });
    const auto start = std::chrono::steady_clock::now();
    const ULONGLONG cpuBefore = ThreadCpu100ns();
    pump.WaitForEvents();
    const ULONGLONG cpu = ThreadCpu100ns() - cpuBefore;
    const auto waited = std::chrono::steady_clock::now() - start;
    poster.join();
    pump.DoEvents();

    EXPECT_GE(waited, std::chrono::milliseconds(300));
    EXPECT_LT(cpu, 1000000u);  // under 100 ms of CPU in 400 ms of waiting
    EXPECT_EQ(g_pings, 1);
    ::DestroyWindow(window);
}

TEST(Win32EventPumpTest, QuitSeenInsideDoEventsStaysForTheOuterLoop) {
    Win32EventPump pump;
    ::PostQuitMessage(3);
    pump.DoEvents();
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST(Win32SoundTest, MissingFileIsSilentAndQuick) {
    Win32Sound sound;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(sound.PlayWaveFile("C:\\no\\such\\folder\\pop.wav"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

}  // namespace
}  // namespace platform::win32
