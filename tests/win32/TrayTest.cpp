#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/Tray.h"
#include "platform/win32/Win32Shell.h"

namespace platform::win32 {
namespace {

class TrayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = ::CreateWindowExW(0, L"STATIC", L"tray owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                   nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        icon = ::LoadIconW(nullptr, IDI_APPLICATION);
    }
    void TearDown() override { ::DestroyWindow(window); }

    // Whether the shell still knows the icon: modifying an unknown icon fails.
    bool IconKnown() {
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof data;
        data.hWnd = window;
        data.uID = 7;
        data.uFlags = NIF_TIP;
        return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
    }

    HWND window = nullptr;
    HICON icon = nullptr;
};

TEST_F(TrayTest, MouseMessagesOverTheIconReachTheHandler) {
    std::vector<int> codes;
    Win32Tray tray(window, 7, icon, [&](int code) { codes.push_back(code); });
    ASSERT_TRUE(tray.Add("QuellPane - 0 popups blocked"));
    ::SendMessageW(window, Win32Tray::CallbackMessage(), 7, WM_RBUTTONUP);
    ::SendMessageW(window, Win32Tray::CallbackMessage(), 7, WM_LBUTTONDOWN);
    // An ordinary mouse move over the window is not a tray message.
    ::SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(515, 3));
    EXPECT_EQ(codes, (std::vector<int>{517, 513}));
}

TEST_F(TrayTest, ExplorerRestartAddsTheIconAgain) {
    Win32Tray tray(window, 7, icon, nullptr);
    ASSERT_TRUE(tray.Add("tip"));
    EXPECT_TRUE(IconKnown());
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = 7;
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &data));  // what a restarted shell forgets
    EXPECT_FALSE(IconKnown());
    ::SendMessageW(window, Win32Tray::TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(IconKnown());
    tray.Remove();
    EXPECT_FALSE(IconKnown());
    // Once removed it stays removed, even if the shell restarts.
    ::SendMessageW(window, Win32Tray::TaskbarCreatedMessage(), 0, 0);
    EXPECT_FALSE(IconKnown());
}

TEST(SkinPlatformTest, VersionIsReadAndTheMissingComponentIsNothing) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Win32SkinPlatform system;
    const OsVersion version = system.QueryOsVersion();
    EXPECT_TRUE(version.callSucceeded);
    EXPECT_EQ(version.platformId, 2u);
    EXPECT_GE(version.majorVersion, 6u);
    EXPECT_EQ(system.CreateSkinEngine(), nullptr);
    ::CoUninitialize();
}

}  // namespace
}  // namespace platform::win32
