#include "blocker/IE_Class.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "support/FakeBrowserAutomation.h"
#include "support/Fakes.h"

namespace quell {
namespace {

using testing::FakeBrowserWindow;
using testing::RecordingCancelFlag;

// Two windows, each with its listener; the decision hands out scripted answers in turn
// (nothing: it leaves the flag as the browser passed it).
class IE_ClassTest : public ::testing::Test {
  protected:
    IE_ClassTest() {
        for (auto* window : {&a, &b}) {
            *window = std::make_shared<FakeBrowserWindow>("http://site.example/");
            listeners.push_back(std::make_shared<IE_Class>(state, Decision(), pairs));
            EXPECT_TRUE(listeners.back()->IEctl(*window));
        }
    }

    NewWindowDecision Decision() {
        return [this](platform::WebBrowser& opener, platform::CancelFlag& cancel,
                      std::string_view) -> std::uint64_t {
            ++decisions;
            openers.push_back(&opener);
            if (inside) {
                std::exchange(inside, nullptr)();
            }
            if (slow) {
                now += std::chrono::seconds(10);  // the user took long to answer
            }
            lastUrl = opener.LocationURL();
            const std::optional<bool> answer = answers.empty() ? true : answers.front();
            if (!answers.empty()) {
                answers.pop_front();
            }
            if (answer) {
                cancel.Set(*answer);
            }
            return 0;
        };
    }

    // Steps like "A2 Bs A3": window A or B raises NewWindow2 (2), NewWindow3 (3), a status
    // text (s) or another event (o); "Aw" lets a second pass, "Aq" 300 ms; "A2+" is decided
    // slowly, as by a prompt. Returns what each request's flag ended as ("-" untouched).
    std::string Run(const std::string& steps) {
        std::istringstream words(steps);
        std::string step, flags;
        while (words >> step) {
            FakeBrowserWindow& window = step[0] == 'A' ? *a : *b;
            RecordingCancelFlag cancel;
            slow = step.size() > 2 && step[2] == '+';
            switch (step[1]) {
                case '2':
                    window.RaiseNewWindow2(cancel);
                    break;
                case '3':
                    window.RaiseNewWindow3(cancel);
                    break;
                case 's':
                    window.RaiseStatusText("Done");
                    continue;
                case 'w':
                    now += std::chrono::seconds(1);
                    continue;
                case 'q':
                    now += std::chrono::milliseconds(300);
                    continue;
                default:
                    window.RaiseOther();
                    continue;
            }
            flags += !cancel.value ? "-" : *cancel.value ? "T" : "F";
        }
        return flags;
    }

    BlockerState state;
    std::shared_ptr<FakeBrowserWindow> a, b;
    std::vector<std::shared_ptr<IE_Class>> listeners;
    int decisions = 0;
    std::vector<platform::WebBrowser*> openers;
    std::deque<std::optional<bool>> answers{true, false, true, false};
    std::function<void()> inside;  // runs once inside the next decision, as the pump would
    bool slow = false;
    std::optional<std::string> lastUrl;
    std::chrono::steady_clock::time_point now;
    std::shared_ptr<NewWindowPairs> pairs =
        std::make_shared<NewWindowPairs>([this] { return now; });
};

struct PairingCase {
    const char* steps;
    int decisions;
    const char* flags;  // per request, in order
};
void PrintTo(const PairingCase& c, std::ostream* out) {
    *out << c.steps;
}

class IE_ClassPairingTest : public IE_ClassTest,
                            public ::testing::WithParamInterface<PairingCase> {};

// A browser that raises both events for one request raises the second once the first is
// answered: it reuses the first's answer, whatever came between (other events of that window or
// others, a slow answer). A second request of the same kind, a third event, or one long after,
// is decided afresh.
TEST_P(IE_ClassPairingTest, BackToBackNewWindow2And3OfOneWindowAreDecidedOnce) {
    const PairingCase& c = GetParam();
    EXPECT_EQ(Run(c.steps), c.flags);
    EXPECT_EQ(decisions, c.decisions);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, IE_ClassPairingTest,
    ::testing::Values(PairingCase{"A2", 1, "T"},      //
                      PairingCase{"A3", 1, "T"},      //
                      PairingCase{"A2 A3", 1, "TT"},  //
                      PairingCase{"A3 A2", 1, "TT"},  //
                      PairingCase{"A2 As A3", 1, "TT"}, PairingCase{"A2 Ao As Ao A3", 1, "TT"},
                      PairingCase{"A2+ A3", 1, "TT"}, PairingCase{"A3+ Bs A2", 1, "TT"},
                      PairingCase{"A2 B2+ A3 B3", 2, "TFTF"},
                      // Other windows' requests keep an answer: they may be what holds the
                      // second event back.
                      PairingCase{"A2 Bq B2 B3 Bq B2 A3", 3, "TFFTT"},
                      // A browser switched to one event per request: a request left unpaired
                      // is not paired with a later one.
                      PairingCase{"A2 A2 A3 A3", 3, "TFFT"}, PairingCase{"A2 A2", 2, "TF"},  //
                      PairingCase{"A3 A3", 2, "TF"},                                         //
                      PairingCase{"A2 A3 A3", 2, "TTF"}, PairingCase{"A2 A3 A2", 2, "TTF"},
                      PairingCase{"A2 B3", 2, "TF"},  //
                      PairingCase{"A2 Bs Bo A3", 1, "TT"}, PairingCase{"A2 B2 A3 B3", 2, "TFTF"},
                      // A browser switched between requests: the later one is its own.
                      PairingCase{"A2 Aw A3", 2, "TF"}, PairingCase{"A3 Aw A2", 2, "TF"}),
    [](const ::testing::TestParamInfo<PairingCase>& info) {
        std::string name = info.param.steps;
        std::replace(name.begin(), name.end(), ' ', '_');
        std::replace(name.begin(), name.end(), '+', 'p');
        return name;
    });

TEST_F(IE_ClassTest, PairedRequestLeavesItsFlagAloneWhenTheDecisionDid) {
    answers = {std::nullopt, true};
    EXPECT_EQ(Run("A3 A2 A2"), "--T");
    EXPECT_EQ(decisions, 2);
}

// A request decided inside another's prompt wait: each pair keeps its own answer.
TEST_F(IE_ClassTest, NestedRequestPairsDoNotMixTheirAnswers) {
    std::string innerFlags;
    inside = [&] { innerFlags = Run("A2 A3"); };
    answers = {false, true};  // the inner decision finishes first and takes the first answer
    EXPECT_EQ(Run("A2 A3"), "TT");
    EXPECT_EQ(innerFlags, "FF");
    EXPECT_EQ(decisions, 2);
}

// A request raised inside another's decision, whose second event comes only once the outer one
// is answered too: each second event takes the answer of its own request, inner first.
TEST_F(IE_ClassTest, NestedRequestAnsweredFirstPairsWithItsOwnSecondEvent) {
    std::string innerFirst;
    inside = [&] { innerFirst = Run("A2"); };
    answers = {false, true};
    EXPECT_EQ(Run("A2"), "T");
    EXPECT_EQ(innerFirst, "F");
    EXPECT_EQ(Run("A3 A3"), "FT");
    EXPECT_EQ(decisions, 2);
}

TEST_F(IE_ClassTest, BothRequestsReachTheDecisionWithThisWindowAsOpener) {
    Run("A2 Aw A3 B3");
    ASSERT_EQ(openers.size(), 3u);
    EXPECT_EQ(openers[0], a.get());
    EXPECT_EQ(openers[1], a.get());
    EXPECT_EQ(openers[2], b.get());
}

TEST_F(IE_ClassTest, StatusTextIsCopiedWhateverItIs) {
    for (const std::string text : {"http://x.example/", "", "Done", "javascript:void(0)"}) {
        a->RaiseStatusText(text);
        EXPECT_EQ(state.strLinkText, text);
    }
}

TEST_F(IE_ClassTest, ReattachingClosesThePreviousConnection) {
    const auto other = std::make_shared<FakeBrowserWindow>("http://other.example/");
    EXPECT_TRUE(listeners[0]->IEctl(other));
    EXPECT_EQ(a->events.OpenConnections(), 0);
    EXPECT_EQ(other->events.OpenConnections(), 1);
    Run("A2");
    EXPECT_EQ(decisions, 0) << "the first window is no longer heard";
}

TEST_F(IE_ClassTest, RequestArrivingWhileTheConnectionOpensIsDecided) {
    const auto window = std::make_shared<FakeBrowserWindow>("http://late.example/");
    RecordingCancelFlag cancel;
    window->onConnect = [&] { window->RaiseNewWindow2(cancel); };
    EXPECT_TRUE(listeners[0]->IEctl(window));
    EXPECT_EQ(decisions, 1);
    EXPECT_EQ(cancel.value, std::optional<bool>(true));
}

TEST_F(IE_ClassTest, FailedAttachListensToNothing) {
    const auto deaf = std::make_shared<FakeBrowserWindow>("http://deaf.example/");
    deaf->attachable = false;
    EXPECT_FALSE(listeners[0]->IEctl(deaf));
    EXPECT_EQ(a->events.OpenConnections(), 0);
    EXPECT_FALSE(listeners[0]->Quit()) << "holds no window";
    EXPECT_FALSE(listeners[0]->IEctl(nullptr));
}

TEST_F(IE_ClassTest, ListenerNotSharedCannotBeReachedSoDoesNotAttach) {
    IE_Class unshared(state, Decision());
    EXPECT_FALSE(unshared.IEctl(a));
    EXPECT_EQ(a->events.OpenConnections(), 1) << "only the fixture's own listener";
}

TEST_F(IE_ClassTest, EndingAListenerClosesItsConnectionAndLetsGoOfTheWindow) {
    const long before = a.use_count();
    listeners[0].reset();
    EXPECT_EQ(a->events.OpenConnections(), 0);
    EXPECT_EQ(a.use_count(), before - 1);
}

// A refresh inside the decision drops the listener; the window object must outlive the
// handler, which still reads it (ASan reports a use after release).
TEST_F(IE_ClassTest, ListenerDroppedInsideItsDecisionKeepsTheOpenerUntilItReturns) {
    auto browserSide = a->events;  // the browser raising the event, apart from our wrapper
    const std::weak_ptr<FakeBrowserWindow> wrapper = a;
    a.reset();
    inside = [&] {
        listeners[0]->Detach();
        listeners[0].reset();
        EXPECT_FALSE(wrapper.expired());
    };
    RecordingCancelFlag cancel;
    browserSide.Raise([&](platform::BrowserEvents& e) { e.NewWindow2(cancel); });
    EXPECT_EQ(cancel.value, std::optional<bool>(true));
    EXPECT_EQ(lastUrl, std::optional<std::string>("http://site.example/"));
    EXPECT_TRUE(wrapper.expired()) << "released once the handler returned";
}

}  // namespace
}  // namespace quell
