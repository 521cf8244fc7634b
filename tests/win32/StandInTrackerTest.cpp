// The tracker against StandInBrowser.exe in a process of its own: real cross-process COM, as
// QuellPane runs under Wine. The stand-in's windows need a display.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "blocker/cIEWindows.h"
#include "platform/standin/StandInProtocol.h"
#include "platform/win32/ComSecurity.h"
#include "platform/win32/ShellWindowsAutomation.h"
#include "platform/win32/StandInShellWindows.h"
#include "platform/win32/Unicode.h"
#include "standin/StandInTestSupport.h"

namespace quell {
namespace {

using platform::win32::ShellWindowsAutomation;
using platform::win32::ShellWindowsSources;
using standin::testing::Click;
using standin::testing::Fields;
using standin::testing::PumpUntil;
using standin::testing::StandInProcess;

class StandInTrackerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) {
            GTEST_SKIP() << "the stand-in's windows need a display";
        }
        standin::testing::g_standInPath =
            platform::win32::Widen(QUELL_BIN_DIR "/StandInBrowser.exe");
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        comStarted = true;
        // As the program runs; Windows takes it once per process, and later tries are too late.
        const platform::Status security = platform::win32::ApplyComSecurity();
        ASSERT_TRUE(security.ok() || security.error().code == static_cast<DWORD>(RPC_E_TOO_LATE))
            << security.error().reason;
        ShellWindowsSources sources;
        sources.standIn = platform::win32::StandInShellWindows({.pollMilliseconds = 100});
        sources.browserCheckMilliseconds = 100;
        automation = std::make_unique<ShellWindowsAutomation>(sources);
    }

    void TearDown() override {
        tracker.reset();
        standIn.reset();  // closes it; it calls our sinks on its way out, so this pumps
        automation.reset();
        if (comStarted) {
            ::CoUninitialize();
        }
    }

    void Start(const std::wstring& arguments) {
        standIn = std::make_unique<StandInProcess>(arguments);
        ASSERT_TRUE(standIn->started());
    }

    void Track() {
        tracker = std::make_unique<cIEWindows>(
            *automation, state,
            [this](platform::WebBrowser& opener, platform::CancelFlag& cancel,
                   std::string_view) -> std::uint64_t {
                ++decisions;
                lastOpener = opener.LocationURL();
                cancel.Set(block);
                return 0;
            });
    }

    bool TrackedCountBecomes(int count) {
        return PumpUntil([&] { return tracker->Count() == count; }, 20000);
    }

    // The window at a position of the stand-in's list.
    HWND WindowHandle(LONG index) {
        const auto list = standIn->List();
        const auto browser = list ? standin::testing::WindowAt(*list, index) : nullptr;
        return browser ? standin::testing::HandleOf(*browser) : nullptr;
    }

    std::vector<std::string> Requests() const {
        std::vector<std::string> requests;
        for (const std::string& line : standIn->LogLines()) {
            if (line.starts_with("request=")) {
                requests.push_back(line);
            }
        }
        return requests;
    }

    bool comStarted = false;
    BlockerState state;
    std::unique_ptr<ShellWindowsAutomation> automation;
    std::unique_ptr<StandInProcess> standIn;
    std::unique_ptr<cIEWindows> tracker;
    int decisions = 0;
    std::optional<std::string> lastOpener;
    bool block = true;
};

// QuellPane starts first: the tracker finds the stand-in once it registers, then follows its
// windows as they open and close.
TEST_F(StandInTrackerTest, AttachesToTheStandInsWindowsAndFollowsThem) {
    Track();
    EXPECT_EQ(tracker->Count(), 0);
    Start(L"--windows 3");
    ASSERT_TRUE(TrackedCountBecomes(3));

    ::PostMessageW(standIn->Host(), standin::kHostOpenWindow, 0, 0);
    ASSERT_TRUE(TrackedCountBecomes(4));

    ::PostMessageW(WindowHandle(1), WM_CLOSE, 0, 0);
    ASSERT_TRUE(TrackedCountBecomes(3));
}

// The stand-in ends when its last window closes; started again, it is found again.
TEST_F(StandInTrackerTest, FollowsTheStandInAcrossARestart) {
    Start(L"--windows 2");
    ASSERT_TRUE(standIn->List());
    Track();
    ASSERT_TRUE(TrackedCountBecomes(2));

    ASSERT_TRUE(standIn->Close().has_value());
    ASSERT_TRUE(TrackedCountBecomes(0));

    Start(L"--windows 1");
    ASSERT_TRUE(TrackedCountBecomes(1));
}

// A tab moved to a process of another integrity level, with no list event: the check on the dead
// connection re-attaches its window, whose requests are decided again; the others stay as they
// are until then, and a live window is never refreshed for nothing.
TEST_F(StandInTrackerTest, WindowWhoseObjectIsReplacedIsReattachedByTheCheck) {
    Start(L"--windows 2 --url http://moved.example/");
    ASSERT_TRUE(standIn->List());
    Track();
    ASSERT_TRUE(TrackedCountBecomes(2));
    const std::shared_ptr<IE_Class> before = tracker->IE(1);
    ::PostMessageW(WindowHandle(0), standin::kWindowNewObject, 0, 0);
    ASSERT_TRUE(
        PumpUntil([&] { return tracker->IE(1) != nullptr && tracker->IE(1) != before; }, 10000));
    const std::shared_ptr<IE_Class> after = tracker->IE(1);
    standin::testing::PumpFor(500);  // five checks
    EXPECT_EQ(tracker->IE(1), after) << "refreshed again with every window alive";

    Click(WindowHandle(0), standin::kPopupButton);
    ASSERT_TRUE(standIn->WaitForRequests(1));
    auto fields = Fields(Requests().back());
    EXPECT_EQ(fields["cancel"], "1");
    EXPECT_EQ(fields["sinks"], "1");
    EXPECT_EQ(decisions, 1);
    EXPECT_EQ(lastOpener, std::optional<std::string>("http://moved.example/"));
}

// Each way a browser raises a request; the decision's answer reaches the stand-in, once per
// request even when it raises both events.
TEST_F(StandInTrackerTest, AnswerCrossesBackForEveryRaiseMode) {
    Start(L"--windows 1 --url http://opener.example/page");
    ASSERT_TRUE(standIn->List());
    Track();
    ASSERT_TRUE(TrackedCountBecomes(1));
    const HWND window = WindowHandle(0);

    // Ordered so that no request's last event and the next one's first could pass for a pair.
    const standin::RaiseMode modes[] = {
        standin::RaiseMode::NewWindow2, standin::RaiseMode::Both2Then3,
        standin::RaiseMode::NewWindow3, standin::RaiseMode::Both3Then2};
    const char* eventsLogged[] = {"2", "2+3", "3", "3+2"};
    std::size_t expectedRequests = 0;
    for (const bool blocking : {true, false}) {
        for (std::size_t m = 0; m < std::size(modes); ++m) {
            SCOPED_TRACE(std::string(eventsLogged[m]) + (blocking ? " blocked" : " allowed"));
            block = blocking;
            const int decisionsBefore = decisions;
            ::PostMessageW(::GetDlgItem(window, standin::kRaiseSelector), CB_SETCURSEL,
                           static_cast<WPARAM>(modes[m]), 0);
            Click(window, standin::kPopupButton);
            ASSERT_TRUE(standIn->WaitForRequests(++expectedRequests));

            auto fields = Fields(Requests().back());
            EXPECT_EQ(fields["events"], eventsLogged[m]);
            EXPECT_EQ(fields["cancel"], blocking ? "1" : "0");
            EXPECT_EQ(decisions, decisionsBefore + 1);
            EXPECT_EQ(lastOpener, std::optional<std::string>("http://opener.example/page"));
        }
    }
}

// The first refresh attaches to windows already open; later ones are timed as a window event
// would run them.
TEST_F(StandInTrackerTest, RefreshTimeWithOneTenAndFiftyWindows) {
    ShellWindowsSources sources;  // the program's checks on its windows, not the tests' quick ones
    sources.standIn = platform::win32::StandInShellWindows({.pollMilliseconds = 100});
    automation = std::make_unique<ShellWindowsAutomation>(sources);
    for (const int windows : {1, 10, 50}) {
        Start(L"--windows " + std::to_wstring(windows));
        const auto list = standIn->List();
        ASSERT_TRUE(list);
        // All open before the tracker starts, or it would refresh once for each one that opens.
        ASSERT_TRUE(PumpUntil([&] { return standin::testing::CountOf(*list) == windows; }, 60000));
        Track();
        ASSERT_EQ(tracker->Count(), windows);

        // A refresh of an unchanged list, and one that attaches one window: its listener let go
        // of beforehand, as if the window had just opened.
        for (const bool attachOne : {false, true}) {
            std::vector<double> milliseconds;
            for (int run = 0; run < 9; ++run) {
                if (attachOne) {
                    tracker->IE(windows / 2 + 1)->Detach();
                }
                const auto start = std::chrono::steady_clock::now();
                tracker->winShell_WindowRegistered(0);
                milliseconds.push_back(std::chrono::duration<double, std::milli>(
                                           std::chrono::steady_clock::now() - start)
                                           .count());
                ASSERT_EQ(tracker->Count(), windows);
            }
            std::sort(milliseconds.begin(), milliseconds.end());
            const double median = milliseconds[milliseconds.size() / 2];
            std::cout << "tracker " << (attachOne ? "attaching one" : "refresh") << " with "
                      << windows << " stand-in windows: median " << median << " ms of "
                      << milliseconds.size() << " (" << milliseconds.front() << " to "
                      << milliseconds.back() << ")\n";
            RecordProperty((attachOne ? "attach_one_ms_" : "refresh_ms_") + std::to_string(windows),
                           std::to_string(median));
        }

        tracker.reset();
        standIn.reset();
    }
}

}  // namespace
}  // namespace quell
