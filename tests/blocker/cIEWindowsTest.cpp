#include "blocker/cIEWindows.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "blocker/PopupDecision.h"
#include "support/DecisionFakes.h"
#include "support/FakeBrowserAutomation.h"
#include "support/Fakes.h"

namespace quell {
namespace {

using testing::FakeBrowserAutomation;
using testing::FakeBrowserWindow;
using testing::FakeShellWindowList;
using testing::RecordingCancelFlag;

class cIEWindowsTest : public ::testing::Test {
  protected:
    std::unique_ptr<cIEWindows> Track() {
        return std::make_unique<cIEWindows>(
            shell, state,
            [this](platform::WebBrowser& opener, platform::CancelFlag& cancel,
                   std::string_view) -> std::uint64_t {
                openers.push_back(*opener.LocationURL());
                if (onDecide) {
                    onDecide(opener, cancel);
                }
                cancel.Set(true);
                return 0;
            });
    }

    // Which open windows have a listener: a window is tracked when its request is decided.
    std::vector<std::string> Deciding() {
        openers.clear();
        for (const auto& window : shell.open) {
            RecordingCancelFlag cancel;
            window->RaiseNewWindow2(cancel);
        }
        return openers;
    }

    FakeBrowserAutomation shell;
    BlockerState state;
    std::vector<std::string> openers;
    std::function<void(platform::WebBrowser&, platform::CancelFlag&)> onDecide;
};

TEST_F(cIEWindowsTest, NoWindowOpenTracksNothingButListensToTheShell) {
    auto tracker = Track();
    EXPECT_EQ(tracker->Count(), 0);
    EXPECT_EQ(tracker->IE(1), nullptr);
    ASSERT_NE(shell.Bound(), nullptr);
    EXPECT_EQ(shell.Bound()->events.OpenConnections(), 1);
}

TEST_F(cIEWindowsTest, AttachesToEveryWindowInTheShellsOrder) {
    const auto a = shell.Open("http://a.example/");
    const auto b = shell.Open("http://b.example/");
    const auto c = shell.Open("http://c.example/");
    auto tracker = Track();

    EXPECT_EQ(tracker->Count(), 3);
    EXPECT_EQ(Deciding(), (std::vector<std::string>{"http://a.example/", "http://b.example/",
                                                    "http://c.example/"}));
    const auto listeners = tracker->NewEnum();
    ASSERT_EQ(listeners.size(), 3u);
    for (int position = 1; position <= 3; ++position) {
        EXPECT_EQ(tracker->IE(position), listeners[static_cast<std::size_t>(position - 1)]);
    }
    EXPECT_EQ(tracker->IE(0), nullptr);
    EXPECT_EQ(tracker->IE(4), nullptr);
    for (const auto& window : {a, b, c}) {
        EXPECT_EQ(window->events.OpenConnections(), 1);
    }
}

TEST_F(cIEWindowsTest, OpeningAWindowKeepsEveryListenerAndAttachesTheNewOneInTheShellsOrder) {
    shell.Open("http://a.example/");
    shell.Open("http://b.example/");
    shell.Open("http://c.example/");
    auto tracker = Track();
    const auto before = tracker->NewEnum();

    shell.open.insert(shell.open.begin() + 1,
                      std::make_shared<FakeBrowserWindow>("http://d.example/"));
    shell.Bound()->RaiseWindowRegistered();

    const auto after = tracker->NewEnum();
    ASSERT_EQ(after.size(), 4u);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(after[2], before[1]);
    EXPECT_EQ(after[3], before[2]);
    EXPECT_EQ(Deciding(), (std::vector<std::string>{"http://a.example/", "http://d.example/",
                                                    "http://b.example/", "http://c.example/"}));
    for (const auto& window : shell.open) {
        EXPECT_EQ(window->events.OpenConnections(), 1);
        EXPECT_EQ(window->events.Connects(), 1) << "a kept window is not attached again";
    }
}

// The list's calls let incoming calls in: a request then, from any window listed before, is
// decided once by its own listener, and no window has two listeners at any moment.
TEST_F(cIEWindowsTest, RequestDuringARefreshIsDecidedOnceByItsListener) {
    shell.Open("http://a.example/");
    shell.Open("http://b.example/");
    const auto c = shell.Open("http://c.example/");
    auto tracker = Track();
    shell.Open("http://d.example/");

    RecordingCancelFlag cancel;
    std::vector<int> connectionsSeen;
    shell.shape = [&](FakeShellWindowList& list) {
        list.onItem = [&](int index) {
            for (const auto& window : shell.open) {
                connectionsSeen.push_back(window->events.OpenConnections());
            }
            if (index == 1) {
                c->RaiseNewWindow2(cancel);
            }
        };
    };
    openers.clear();
    shell.Bound()->RaiseWindowRegistered();

    EXPECT_EQ(openers, std::vector<std::string>{"http://c.example/"});
    EXPECT_EQ(cancel.value, std::optional<bool>(true));
    for (const int connections : connectionsSeen) {
        EXPECT_LE(connections, 1);
    }
}

TEST_F(cIEWindowsTest, ClosingAWindowLeavesListenersOnlyOnTheOthers) {
    shell.Open("http://a.example/");
    const auto b = shell.Open("http://b.example/");
    shell.Open("http://c.example/");
    auto tracker = Track();

    shell.Close(b);
    shell.Bound()->RaiseWindowRevoked();

    EXPECT_EQ(tracker->Count(), 2);
    EXPECT_EQ(b->events.OpenConnections(), 0);
    EXPECT_EQ(Deciding(), (std::vector<std::string>{"http://a.example/", "http://c.example/"}));
}

// winShell is bound on the first refresh only; every later list is let go once walked.
TEST_F(cIEWindowsTest, TheShellIsBoundOnceAndLaterListsAreLetGo) {
    shell.Open("http://a.example/");
    auto tracker = Track();
    const auto bound = shell.Bound();

    bound->RaiseWindowRegistered();
    bound->RaiseWindowRevoked();

    ASSERT_EQ(shell.lists.size(), 3u);
    EXPECT_TRUE(shell.lists[1].expired());
    EXPECT_TRUE(shell.lists[2].expired());
    EXPECT_EQ(bound->events.Connects(), 1);
    EXPECT_EQ(bound->events.OpenConnections(), 1);
}

// Each way a refresh can fail, and what stays tracked; a later refresh must still run (the busy
// flag is cleared on every way out) and bind the shell if the failed one did not.
struct FailureCase {
    const char* name;
    std::function<void(FakeBrowserAutomation&, FakeShellWindowList&)> breakFirstRefresh;
    std::vector<std::string> trackedAfterFailure;
    bool boundAfterFailure;
};
void PrintTo(const FailureCase& failure, std::ostream* out) {
    *out << failure.name;
}

class cIEWindowsFailureTest : public cIEWindowsTest,
                              public ::testing::WithParamInterface<FailureCase> {};

TEST_P(cIEWindowsFailureTest, KeepsWhatWasAddedAndRecoversAtTheNextRefresh) {
    const FailureCase& failure = GetParam();
    shell.Open("http://a.example/");
    shell.Open("http://b.example/");
    shell.Open("http://c.example/");
    bool first = true;
    shell.shape = [&](FakeShellWindowList& list) {
        if (std::exchange(first, false)) {
            failure.breakFirstRefresh(shell, list);
        }
    };
    auto tracker = Track();

    EXPECT_EQ(Deciding(), failure.trackedAfterFailure);
    EXPECT_EQ(shell.Bound() != nullptr, failure.boundAfterFailure);
    // A refresh that could not get, walk or bind the list tries again on a timer.
    EXPECT_EQ(tracker->Watching(), failure.boundAfterFailure);
    EXPECT_EQ(shell.retries.OpenConnections(), failure.boundAfterFailure ? 0 : 1);

    for (auto& window : shell.open) {
        window->attachable = true;
    }
    shell.unavailable = false;
    if (failure.boundAfterFailure) {
        tracker->winShell_WindowRegistered(0);  // as the shell would, once something changes
    } else {
        shell.TickRetries();
    }

    EXPECT_EQ(Deciding(), (std::vector<std::string>{"http://a.example/", "http://b.example/",
                                                    "http://c.example/"}));
    ASSERT_NE(shell.Bound(), nullptr);
    EXPECT_EQ(shell.Bound()->events.OpenConnections(), 1);
    EXPECT_NE(tracker->IE(1), nullptr) << "busy flag left set";
    EXPECT_TRUE(tracker->Watching());
    EXPECT_EQ(shell.retries.OpenConnections(), 0) << "the retries end once the list is bound";
}

// A stand-in list taken while the system's could not be had is bound for now; the retries go
// on, and the system's list is bound once it comes.
TEST_F(cIEWindowsTest, StopgapListIsBoundUntilTheSystemsComes) {
    shell.Open("http://a.example/");
    bool stopgap = true;
    shell.shape = [&](FakeShellWindowList& list) { list.stopgap = stopgap; };
    auto tracker = Track();
    const auto first = shell.Bound();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Deciding(), std::vector<std::string>{"http://a.example/"});
    EXPECT_FALSE(tracker->Watching());

    shell.TickRetries();
    EXPECT_EQ(first->events.OpenConnections(), 1) << "a stopgap is not bound again";
    stopgap = false;
    shell.TickRetries();

    EXPECT_TRUE(tracker->Watching());
    EXPECT_EQ(first->events.OpenConnections(), 0);
    ASSERT_EQ(shell.lists.size(), 3u);
    ASSERT_NE(shell.lists[2].lock(), nullptr);
    EXPECT_EQ(shell.lists[2].lock()->events.OpenConnections(), 1);
    EXPECT_EQ(shell.retries.OpenConnections(), 0);
    EXPECT_EQ(shell.open[0]->events.Connects(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, cIEWindowsFailureTest,
    ::testing::Values(
        FailureCase{"ListUnavailable",
                    [](FakeBrowserAutomation& s, FakeShellWindowList&) { s.unavailable = true; },
                    {},
                    false},
        FailureCase{"CountFails",
                    [](FakeBrowserAutomation&, FakeShellWindowList& l) { l.countFails = true; },
                    {},
                    false},
        FailureCase{"ListFailsAtTheSecondItem",
                    [](FakeBrowserAutomation&, FakeShellWindowList& l) { l.failAt = 1; },
                    {"http://a.example/"},
                    false},
        FailureCase{"SecondItemIsNotABrowser",
                    [](FakeBrowserAutomation&, FakeShellWindowList& l) { l.notABrowserAt = 1; },
                    {"http://a.example/", "http://c.example/"},
                    true},
        FailureCase{"SecondWindowCannotBeAttached",
                    [](FakeBrowserAutomation&, FakeShellWindowList& l) {
                        l.windows[1]->attachable = false;
                    },
                    {"http://a.example/", "http://c.example/"},
                    true},
        FailureCase{"ShellEventsCannotBeConnected",
                    [](FakeBrowserAutomation&, FakeShellWindowList& l) { l.connectable = false; },
                    {"http://a.example/", "http://b.example/", "http://c.example/"},
                    false}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

// A shell event that arrives while the list is being walked (a cross-process call lets the
// thread take incoming calls) neither nests a second refresh nor waits for the first one: the
// running refresh starts over once it is done and ends with the latest list.
TEST_F(cIEWindowsTest, ShellEventDuringARefreshRunsItOnceMoreWithoutWaiting) {
    shell.Open("http://a.example/");
    shell.Open("http://b.example/");
    auto tracker = Track();
    const auto bound = shell.Bound();

    std::shared_ptr<FakeBrowserWindow> opened;
    bool answeredNothingDuringRefresh = false;
    int eventsDelivered = 0;
    shell.shape = [&](FakeShellWindowList& list) {
        list.onItem = [&](int index) {
            if (index == 1 && !opened) {
                opened = shell.Open("http://c.example/");
                answeredNothingDuringRefresh = tracker->IE(1) == nullptr;
                ++eventsDelivered;
                bound->RaiseWindowRegistered();
            }
        };
    };
    bound->RaiseWindowRegistered();

    EXPECT_EQ(eventsDelivered, 1);
    EXPECT_TRUE(answeredNothingDuringRefresh);
    EXPECT_EQ(shell.lists.size(), 3u) << "one refresh for the event, one more for the nested one";
    EXPECT_EQ(Deciding(), (std::vector<std::string>{"http://a.example/", "http://b.example/",
                                                    "http://c.example/"}));
    for (const auto& window : shell.open) {
        EXPECT_EQ(window->events.OpenConnections(), 1);
    }
}

TEST_F(cIEWindowsTest, EndingTheTrackerClosesEveryConnectionAndLetsGoOfEveryWindow) {
    const auto a = shell.Open("http://a.example/");
    const auto b = shell.Open("http://b.example/");
    auto tracker = Track();
    const std::weak_ptr<FakeShellWindowList> bound = shell.Bound();

    tracker.reset();

    EXPECT_EQ(a->events.OpenConnections(), 0);
    EXPECT_EQ(b->events.OpenConnections(), 0);
    EXPECT_TRUE(bound.expired()) << "winShell is unbound";
    EXPECT_EQ(a.use_count(), 2) << "held by the test and the shell only";
}

TEST_F(cIEWindowsTest, ListenerDroppedByARefreshInsideItsOwnDecisionFinishesSafely) {
    const auto a = shell.Open("http://a.example/");
    shell.Open("http://b.example/");
    auto tracker = Track();
    onDecide = [&](platform::WebBrowser& opener, platform::CancelFlag&) {
        // The prompt wait runs the pump; the opener's window closes meanwhile.
        shell.Close(a);
        shell.Bound()->RaiseWindowRevoked();
        EXPECT_EQ(opener.LocationURL(), std::optional<std::string>("http://a.example/"));
    };
    RecordingCancelFlag cancel;
    a->RaiseNewWindow2(cancel);

    EXPECT_EQ(cancel.value, std::optional<bool>(true)) << "the answer still reaches the browser";
    EXPECT_EQ(a->events.OpenConnections(), 0);
    EXPECT_EQ(tracker->Count(), 1);
}

// A refresh rebuilds every listener: between the two events of one request, or while the first
// is decided, the second still reuses the answer; a later request of the same kind is decided.
TEST_F(cIEWindowsTest, RequestRaisedBothWaysIsDecidedOnceAcrossARefresh) {
    const struct {
        bool refreshInside;
        bool secondIsNewWindow3;
        std::size_t decisions;
    } cases[] = {{false, true, 1}, {true, true, 1}, {false, false, 2}, {true, false, 2}};
    const auto a = shell.Open("http://a.example/");
    auto tracker = Track();
    for (const auto& c : cases) {
        openers.clear();
        const auto refresh = [&] {
            shell.Open("http://b.example/");
            shell.Bound()->RaiseWindowRegistered();
        };
        onDecide = [&](platform::WebBrowser&, platform::CancelFlag&) {
            if (c.refreshInside) {
                refresh();
            }
        };
        RecordingCancelFlag first, second;
        a->RaiseNewWindow2(first);
        onDecide = nullptr;
        if (!c.refreshInside) {
            refresh();
        }
        if (c.secondIsNewWindow3) {
            a->RaiseNewWindow3(second);
        } else {
            a->RaiseNewWindow2(second);
        }
        EXPECT_EQ(openers.size(), c.decisions) << c.refreshInside << c.secondIsNewWindow3;
        EXPECT_EQ(second.value, std::optional<bool>(true));
    }
}

TEST_F(cIEWindowsTest, TrackerReleasedInsideADecisionFinishesSafely) {
    const auto a = shell.Open("http://a.example/");
    auto tracker = Track();
    onDecide = [&](platform::WebBrowser& opener, platform::CancelFlag&) {
        tracker.reset();  // the main window unloads while the prompt waits
        EXPECT_TRUE(opener.LocationURL().has_value());
    };
    RecordingCancelFlag cancel;
    a->RaiseNewWindow2(cancel);
    EXPECT_EQ(cancel.value, std::optional<bool>(true));
    EXPECT_EQ(a->events.OpenConnections(), 0);
}

TEST_F(cIEWindowsTest, TrackerReleasedWhileARefreshWaitsOnTheShellLeavesNothingBehind) {
    const auto a = shell.Open("http://a.example/");
    const auto b = shell.Open("http://b.example/");
    auto tracker = Track();
    const std::weak_ptr<FakeShellWindowList> bound = shell.Bound();
    shell.shape = [&](FakeShellWindowList& list) {
        list.onItem = [&](int index) {
            if (index == 0) {
                tracker.reset();
            }
        };
    };
    bound.lock()->RaiseWindowRegistered();

    EXPECT_EQ(a->events.OpenConnections(), 0);
    EXPECT_EQ(b->events.OpenConnections(), 0);
    EXPECT_TRUE(bound.expired());
}

TEST_F(cIEWindowsTest, CloseIEAsksTheFirstWindowOnly) {
    const auto a = shell.Open("http://a.example/");
    const auto b = shell.Open("http://b.example/");
    auto tracker = Track();
    EXPECT_TRUE(tracker->closeIE());
    EXPECT_EQ(a->quitCalls, 1);
    EXPECT_EQ(b->quitCalls, 0);

    shell.open.clear();
    shell.Bound()->RaiseWindowRevoked();
    EXPECT_FALSE(tracker->closeIE());
}

TEST_F(cIEWindowsTest, StatusTextOfAnyWindowFeedsTheLinkException) {
    const auto a = shell.Open("http://a.example/");
    const auto b = shell.Open("http://b.example/");
    auto tracker = Track();

    a->RaiseStatusText("http://link.example/");
    EXPECT_EQ(state.strLinkText, "http://link.example/");
    b->RaiseStatusText("");
    EXPECT_EQ(state.strLinkText, "") << "empty texts are stored too";
    b->RaiseOther();
    EXPECT_EQ(state.strLinkText, "");
}

// The whole road with the real decision: a window's hover text and request reach it.
TEST_F(cIEWindowsTest, RequestFromATrackedWindowIsDecidedWithItsAddress) {
    testing::DecisionFakes fakes;
    fakes.check6.SetValue(1);
    state.strAllowed = std::string("good.example\r\n");
    const PopupDecisionContext context = fakes.Context(state, "pop.wav");
    const auto good = shell.Open("http://good.example/page");
    const auto bad = shell.Open("http://bad.example/page");
    cIEWindows tracker(shell, state,
                       [&context](platform::WebBrowser& opener, platform::CancelFlag& cancel,
                                  std::string_view popupUrl) {
                           return PopupDecision(context, opener, cancel, popupUrl);
                       });

    // Each request raised both ways, as the browser does.
    RecordingCancelFlag fromGood, fromGood3, fromBad, fromBad3, afterHover, afterHover3;
    good->RaiseNewWindow2(fromGood);
    good->RaiseNewWindow3(fromGood3);
    bad->RaiseNewWindow2(fromBad);
    bad->RaiseNewWindow3(fromBad3);
    good->RaiseStatusText("http://somewhere.example/");
    bad->RaiseNewWindow2(afterHover);
    bad->RaiseNewWindow3(afterHover3);

    EXPECT_EQ(fromGood.value, std::optional<bool>(false));
    EXPECT_EQ(fromGood3.value, std::optional<bool>(false));
    EXPECT_EQ(fromBad.value, std::optional<bool>(true));
    EXPECT_EQ(fromBad3.value, std::optional<bool>(true));
    EXPECT_EQ(afterHover.value, std::optional<bool>(false)) << "hover over a link in any window";
    EXPECT_EQ(afterHover3.value, std::optional<bool>(false));
    EXPECT_EQ(state.lngBlocked, 1);
    EXPECT_EQ(state.history.Newest(0).popup, "") << "the fake raised no address";

    // NewWindow2 decides; the paired NewWindow3 brings the popup's address to its entry.
    RecordingCancelFlag first, second;
    good->RaiseStatusText("Done");  // no longer over a link
    bad->RaiseNewWindow2(first);
    bad->RaiseNewWindow3(second, "http://pop.example/ad");
    EXPECT_EQ(first.value, std::optional<bool>(true));
    EXPECT_EQ(second.value, std::optional<bool>(true));
    ASSERT_EQ(state.history.Size(), 2u);
    EXPECT_EQ(state.history.Newest(0).popup, "http://pop.example/ad");
    EXPECT_EQ(state.history.Newest(0).opener, "http://bad.example/page");

    // "Open Popup": that request goes through once, from the opener's window; the same
    // request afterwards is blocked again.
    std::vector<std::optional<bool>> answers;
    bad->onNavigate = [&](const std::string& address) {
        RecordingCancelFlag asNew2, asNew3;
        bad->RaiseNewWindow2(asNew2);
        bad->RaiseNewWindow3(asNew3, address);
        answers = {asNew2.value, asNew3.value};
    };
    EXPECT_FALSE(tracker.OpenPopup("http://nowhere.example/", "http://pop.example/ad"));
    ASSERT_TRUE(tracker.OpenPopup("http://bad.example/page", "http://pop.example/ad"));
    EXPECT_EQ(bad->navigations, std::vector<std::string>{"http://pop.example/ad"});
    EXPECT_EQ(answers, (std::vector<std::optional<bool>>{false, false}));
    EXPECT_EQ(state.history.Size(), 2u) << "not counted as blocked";
    RecordingCancelFlag again;
    bad->RaiseOther();
    bad->RaiseNewWindow3(again, "http://pop.example/ad");
    EXPECT_EQ(again.value, std::optional<bool>(true));
    EXPECT_EQ(state.lngBlocked, 3);
}

}  // namespace
}  // namespace quell
