// Figures for the report, measured across processes under whatever runs the tests: one popup
// request's round trip, opening many windows, starting and closing the program. The bounds are
// loose; they catch a stand-in that has become unusably slow, not small changes.
#include <windows.h>

#include <exdispid.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "StandInTestSupport.h"
#include "platform/standin/StandInProtocol.h"

namespace standin::testing {
namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration elapsed) {
    return std::chrono::duration<double, std::milli>(elapsed).count();
}

TEST(StandInTiming, NewWindow2RoundTripAcrossProcesses) {
    constexpr int kRequests = 200;
    StandInProcess process(L"--windows 1 --raise 2");
    const ComPtr<IShellWindows> list = process.List();
    ASSERT_TRUE(list);
    const ComPtr<IWebBrowser2> window = WindowAt(*list, 0);
    const HWND handle = HandleOf(*window);
    TestSink sink(DIID_DWebBrowserEvents2);
    sink.answers[DISPID_NEWWINDOW2] = VARIANT_TRUE;
    const Advised advised(window.get(), DIID_DWebBrowserEvents2, &sink);

    const Clock::time_point start = Clock::now();
    for (int i = 0; i < kRequests; ++i) {
        Click(handle, kPopupButton);
        ASSERT_TRUE(
            PumpUntil([&] { return sink.calls.size() == static_cast<std::size_t>(i + 1); }));
    }
    ASSERT_TRUE(process.WaitForRequests(kRequests));
    const double total = Milliseconds(Clock::now() - start);

    std::vector<long long> roundTrips;
    for (const std::string& line : process.LogLines()) {
        if (line.starts_with("request=")) {
            EXPECT_EQ(Fields(line).at("opened"), "0");
            roundTrips.push_back(std::stoll(Fields(line).at("us")));
        }
    }
    ASSERT_EQ(roundTrips.size(), static_cast<std::size_t>(kRequests));
    std::sort(roundTrips.begin(), roundTrips.end());
    const long long median = roundTrips[roundTrips.size() / 2];
    std::printf(
        "[ figure ] NewWindow2 round trip over %d requests: median %lld us, min %lld us, "
        "max %lld us; click to answer %.2f ms each\n",
        kRequests, median, roundTrips.front(), roundTrips.back(), total / kRequests);
    EXPECT_LT(median, 100000);
}

TEST(StandInTiming, OpeningFiftyWindows) {
    constexpr int kWindows = 50;
    const Clock::time_point launched = Clock::now();
    StandInProcess process(L"--windows 1");
    const ComPtr<IShellWindows> list = process.List();
    ASSERT_TRUE(list);
    const double startup = Milliseconds(Clock::now() - launched);
    const HWND first = HandleOf(*WindowAt(*list, 0));
    TestSink sink(DIID_DShellWindowsEvents);
    const Advised advised(list.get(), DIID_DShellWindowsEvents, &sink);

    const Clock::time_point start = Clock::now();
    for (int i = 0; i < kWindows; ++i) {
        Click(first, kNewWindowButton);
        ASSERT_TRUE(
            PumpUntil([&] { return sink.calls.size() == static_cast<std::size_t>(i + 1); }));
    }
    const double opening = Milliseconds(Clock::now() - start);
    EXPECT_EQ(CountOf(*list), kWindows + 1);

    const Clock::time_point closing = Clock::now();
    EXPECT_EQ(process.Close(60000), std::optional<DWORD>(kExitOk));
    const double closed = Milliseconds(Clock::now() - closing);
    std::printf(
        "[ figure ] start to list found %.0f ms; %d windows opened one by one, each "
        "announced to a sink: %.0f ms (%.1f ms each); closing %d windows and exiting "
        "%.0f ms\n",
        startup, kWindows, opening, opening / kWindows, kWindows + 1, closed);
    EXPECT_LT(opening, 60000.0);
}

}  // namespace
}  // namespace standin::testing
