#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/Dpi.h"
#include "platform/win32/Tray.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32Toolkit.h"
#include "resources/Form1Design.h"
#include "resources/SecondaryDesigns.h"

namespace platform::win32 {
namespace {

class TrayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = ::CreateWindowExW(0, L"STATIC", L"tray owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                   nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
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
};

// user32 carries the standard icons under numeric names.
const HINSTANCE kUser32 = ::GetModuleHandleW(L"user32.dll");
constexpr wchar_t kApplicationIcon[] = L"#32512";

int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) {
        return 0;
    }
    BITMAP mask{};
    ::GetObjectW(info.hbmMask, sizeof mask, &mask);
    ::DeleteObject(info.hbmMask);
    ::DeleteObject(info.hbmColor);
    return mask.bmWidth;
}

void ChangeDpi(HWND window, UINT dpi) {
    RECT suggested{};
    ::GetWindowRect(window, &suggested);
    ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
}

TEST_F(TrayTest, MouseMessagesOverTheIconReachTheHandler) {
    std::vector<int> codes;
    Win32Tray tray(window, 7, kUser32, kApplicationIcon, [&](int code) { codes.push_back(code); });
    ASSERT_TRUE(tray.Add("QuellPane - 0 popups blocked"));
    ::SendMessageW(window, Win32Tray::CallbackMessage(), 7, WM_RBUTTONUP);
    ::SendMessageW(window, Win32Tray::CallbackMessage(), 7, WM_LBUTTONDOWN);
    // An ordinary mouse move over the window is not a tray message.
    ::SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(515, 3));
    EXPECT_EQ(codes, (std::vector<int>{517, 513}));
}

TEST_F(TrayTest, AnExceptionInTheHandlerStopsTheProgramWithItsMessage) {
    Win32Tray tray(window, 7, kUser32, kApplicationIcon,
                   [](int) { throw std::invalid_argument("Form1 has no control named Check9"); });
    EXPECT_DEATH(::SendMessageW(window, Win32Tray::CallbackMessage(), 7, WM_RBUTTONUP),
                 "Form1 has no control named Check9");
}

TEST_F(TrayTest, ExplorerRestartAddsTheIconAgain) {
    Win32Tray tray(window, 7, kUser32, kApplicationIcon, nullptr);
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

TEST_F(TrayTest, IconIsLoadedForTheWindowsDpiAndAgainWhenItChanges) {
    Win32Tray tray(window, 7, kUser32, kApplicationIcon, nullptr);
    ASSERT_TRUE(tray.Add("tip"));
    EXPECT_EQ(IconWidth(tray.Icon()), SystemMetricForDpi(SM_CXSMICON, WindowDpi(window)));
    ChangeDpi(window, 192);
    EXPECT_EQ(IconWidth(tray.Icon()), SystemMetricForDpi(SM_CXSMICON, 192));
    EXPECT_TRUE(IconKnown());
}

// The main window's own procedure and the tray's subclass share the window.
TEST(TrayOnTheMainWindow, IconMessagesReachTheTrayAndMouseMovesStayTheWindows) {
    Win32Toolkit toolkit;
    const auto form = toolkit.CreateDesignedWindow(quell::design::kForm1Design);
    ASSERT_TRUE(form->Load());
    std::vector<EventKind> events;
    form->SetEventHandler([&](const Event& event) { events.push_back(event.kind); });
    std::vector<int> codes;
    Win32Tray tray(form->Hwnd(), 1, kUser32, kApplicationIcon,
                   [&](int code) { codes.push_back(code); });
    ::SendMessageW(form->Hwnd(), Win32Tray::CallbackMessage(), 1, WM_RBUTTONUP);
    // A mouse move whose x happens to be a mouse message's number opens nothing.
    ::SendMessageW(form->Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(WM_RBUTTONUP, 3));
    EXPECT_EQ(codes, std::vector<int>{WM_RBUTTONUP});
    EXPECT_EQ(events, std::vector<EventKind>{EventKind::MouseMove});
}

TEST(WindowIcons, AreLoadedForTheWindowsDpiAndAgainWhenItChanges) {
    Win32Toolkit toolkit(kUser32);
    const auto form = toolkit.CreateDesignedWindow(quell::design::kAboutDesign);
    ASSERT_TRUE(form->Load());
    SetWindowIcons(*form, "#32512", true);
    auto icon = [&](WPARAM which) {
        return IconWidth(
            reinterpret_cast<HICON>(::SendMessageW(form->Hwnd(), WM_GETICON, which, 0)));
    };
    for (const UINT dpi : {form->Dpi(), 144u}) {
        ChangeDpi(form->Hwnd(), dpi);
        EXPECT_EQ(icon(ICON_BIG), SystemMetricForDpi(SM_CXICON, dpi)) << dpi;
        EXPECT_EQ(icon(ICON_SMALL), SystemMetricForDpi(SM_CXSMICON, dpi)) << dpi;
    }
}

// A shell that refuses the icon so many times (not started yet at logon), and what it was
// asked.
struct RefusingShell {
    BOOL Notify(DWORD message, NOTIFYICONDATAW* data) {
        messages.push_back(message);
        if (message == NIM_ADD && refusals > 0) {
            --refusals;
            return FALSE;
        }
        if (message == NIM_MODIFY && (data->uFlags & NIF_INFO) != 0) {
            balloons.push_back(data->szInfo);
        }
        return TRUE;
    }
    TrayRetry Retry(int triesBeforeMissing) {
        return {[this](DWORD message, NOTIFYICONDATAW* data) { return Notify(message, data); }, 20,
                triesBeforeMissing};
    }
    int refusals = 0;
    std::vector<DWORD> messages;
    std::vector<std::wstring> balloons;
};

void PumpFor(DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    MSG msg;
    while (::GetTickCount() - start < milliseconds) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    }
}

TEST_F(TrayTest, IconRefusedAtFirstIsOfferedAgainUntilTheShellTakesIt) {
    RefusingShell shell;
    shell.refusals = 3;
    int missing = 0;
    Win32Tray tray(
        window, 7, kUser32, kApplicationIcon, nullptr, [&] { ++missing; }, shell.Retry(10));
    EXPECT_FALSE(tray.Add("tip"));
    EXPECT_FALSE(tray.ShowBalloon("QuellPane", "not shown")) << "no icon to show it beside";
    PumpFor(400);
    EXPECT_TRUE(tray.shown());
    EXPECT_EQ(std::count(shell.messages.begin(), shell.messages.end(), NIM_ADD), 4);
    EXPECT_EQ(missing, 0);
    EXPECT_TRUE(tray.ShowBalloon("QuellPane", "Could not write allowed.txt"));
    EXPECT_EQ(shell.balloons, std::vector<std::wstring>{L"Could not write allowed.txt"});
}

TEST_F(TrayTest, IconStillRefusedAfterAWhileIsReportedOnce) {
    RefusingShell shell;
    shell.refusals = 1000;
    int missing = 0;
    Win32Tray tray(
        window, 7, kUser32, kApplicationIcon, nullptr, [&] { ++missing; }, shell.Retry(3));
    EXPECT_FALSE(tray.Add("tip"));
    PumpFor(400);
    EXPECT_EQ(missing, 1);
    EXPECT_FALSE(tray.shown());
    // A shell that starts late announces itself: the icon is offered then.
    shell.refusals = 0;
    ::SendMessageW(window, Win32Tray::TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(tray.shown());
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
