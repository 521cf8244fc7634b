#include "blocker/PopupDecision.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "blocker/SiteKey.h"
#include "support/DecisionFakes.h"
#include "support/Fakes.h"

namespace quell {
namespace {

using testing::DecisionFakes;
using testing::FakeBrowser;
using testing::RecordingCancelFlag;

class PopupDecisionTest : public ::testing::Test, public DecisionFakes {
  protected:
    PopupDecisionTest() {
        check5.SetValue(1);  // sound on
        state.strAllowed = std::string("allowed.example\r\nsub.trusted.example\r\n");
        state.strDisallowed = std::string("bad.example\r\n");
        prompt.onLoad = [this] { promptShowedSite = state.strPromptSite; };
    }

    PopupDecisionContext Context() { return DecisionFakes::Context(state, "/p/sounds/pop.wav"); }

    RecordingCancelFlag Decide(const std::string& url) {
        RecordingCancelFlag cancel;
        FakeBrowser opener(url);
        PopupDecision(Context(), opener, cancel);
        return cancel;
    }

    // What the prompt's buttons do: answer, then unload.
    void Answer(bool allow, BlockerState::PromptAnswer how = BlockerState::PromptAnswer::Now) {
        state.blnPromptAllow = allow;
        state.intPromptAnswer = how;
        state.blnPromptDone = true;
        prompt.Unload();
    }

    BlockerState state;
    std::string promptShowedSite;
};

TEST_F(PopupDecisionTest, AllowedSiteOpensWithoutCounting) {
    const auto cancel = Decide("http://allowed.example/page");
    EXPECT_EQ(cancel.value, std::optional<bool>(false));
    EXPECT_EQ(state.lngBlocked, 0);
    EXPECT_TRUE(sound.played.empty());
}

TEST_F(PopupDecisionTest, UnlistedSiteIsBlockedCountedAndSounded) {
    const auto cancel = Decide("http://other.example/");
    EXPECT_EQ(cancel.value, std::optional<bool>(true));
    EXPECT_EQ(cancel.writes, 1);
    EXPECT_EQ(state.lngBlocked, 1);
    EXPECT_EQ(sound.played, std::vector<std::string>{"/p/sounds/pop.wav"});
    EXPECT_EQ(pump.doEventsCalls, 1);  // pumped once while blocking
}

TEST_F(PopupDecisionTest, SubDomainListedAllowsParentButNotTheOtherWayRound) {
    EXPECT_EQ(Decide("http://trusted.example/").value, std::optional<bool>(false));
    state.strAllowed = std::string("trusted.example\r\n");
    EXPECT_EQ(Decide("http://ads.trusted.example/").value, std::optional<bool>(true));
}

TEST_F(PopupDecisionTest, BlockSetsTheFlagOnlyAfterCountingPumpingAndSounding) {
    bool pumpedBeforeSet = false;
    pump.Post([&] { pumpedBeforeSet = true; });
    RecordingCancelFlag cancel;
    cancel.onSet = [&] {
        EXPECT_EQ(state.lngBlocked, 1);
        EXPECT_EQ(sound.played.size(), 1u);
        EXPECT_TRUE(pumpedBeforeSet);
    };
    FakeBrowser opener(std::string("http://other.example/"));
    PopupDecision(Context(), opener, cancel);
    EXPECT_EQ(cancel.writes, 1);
}

TEST_F(PopupDecisionTest, SoundSwitchOffOrFileMissingStillBlocks) {
    check5.SetValue(0);
    EXPECT_EQ(Decide("http://x.example/").value, std::optional<bool>(true));
    EXPECT_TRUE(sound.played.empty());
    check5.SetValue(1);
    sound.playable = false;
    EXPECT_EQ(Decide("http://x.example/").value, std::optional<bool>(true));
    EXPECT_EQ(state.lngBlocked, 2);
}

TEST_F(PopupDecisionTest, FullCounterStillBlocksAndStaysAtMaximum) {
    state.lngBlocked = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(Decide("http://x.example/").value, std::optional<bool>(true));
    EXPECT_EQ(state.lngBlocked, std::numeric_limits<std::int32_t>::max());
}

TEST_F(PopupDecisionTest, BlockingOffLeavesFlagAsItCame) {
    check1.SetValue(0);
    EXPECT_FALSE(Decide("http://bad.example/").value.has_value());
    EXPECT_EQ(state.lngBlocked, 0);
}

TEST_F(PopupDecisionTest, SwitchIsOnOnlyAtExactlyOne) {
    check1.SetValue(2);  // a grey box is not ticked
    EXPECT_FALSE(Decide("http://x.example/").value.has_value());
    check1.SetValue(1);
    check5.SetValue(2);
    EXPECT_EQ(Decide("http://x.example/").value, std::optional<bool>(true));
    EXPECT_TRUE(sound.played.empty());
}

TEST_F(PopupDecisionTest, UnreadableAddressLeavesFlagAsItCame) {
    RecordingCancelFlag cancel;
    FakeBrowser opener(std::nullopt);
    PopupDecision(Context(), opener, cancel);
    EXPECT_FALSE(cancel.value.has_value());
    EXPECT_EQ(state.lngBlocked, 0);
}

TEST_F(PopupDecisionTest, AllowNextOpensEvenDisallowedSiteOnceWithoutPrompt) {
    check2.SetValue(1);
    state.blnAllowNext = true;
    EXPECT_EQ(Decide("http://bad.example/").value, std::optional<bool>(false));
    EXPECT_FALSE(state.blnAllowNext);
    EXPECT_EQ(state.lngBlocked, 0);
    EXPECT_EQ(prompt.loadCalls, 0);
    EXPECT_EQ(Decide("http://bad.example/").value, std::optional<bool>(true));
}

TEST_F(PopupDecisionTest, AllowNextSurvivesWhileBlockingIsOff) {
    check1.SetValue(0);
    state.blnAllowNext = true;
    Decide("http://x.example/");
    EXPECT_TRUE(state.blnAllowNext);
    check1.SetValue(1);
    EXPECT_EQ(Decide("http://x.example/").value, std::optional<bool>(false));
    EXPECT_FALSE(state.blnAllowNext);
}

struct LinkCase {
    const char* statusText;
    int check6;
    bool allowed;
};

void PrintTo(const LinkCase& c, std::ostream* os) {
    *os << "\"" << c.statusText << "\" Check6=" << c.check6;
}

class LinkExceptionTest : public PopupDecisionTest,
                          public ::testing::WithParamInterface<LinkCase> {};

TEST_P(LinkExceptionTest, StatusTextDecides) {
    check6.SetValue(GetParam().check6);
    state.strLinkText = GetParam().statusText;
    const auto cancel = Decide("http://other.example/");
    EXPECT_EQ(cancel.value, std::optional<bool>(!GetParam().allowed));
    EXPECT_EQ(state.strLinkText, GetParam().statusText);  // never cleared
}

INSTANTIATE_TEST_SUITE_P(
    StatusTexts, LinkExceptionTest,
    ::testing::Values(LinkCase{"http://", 1, false},  // 7 characters
                      LinkCase{"http://a", 1, true}, LinkCase{"HTTP://A.EXAMPLE/", 1, true},
                      LinkCase{"https://a.example/", 1, true}, LinkCase{"Done", 1, false},
                      LinkCase{"javascript:void(0)", 1, false},
                      LinkCase{" http://a.example/", 1, false}, LinkCase{"", 1, false},
                      LinkCase{"http://a.example/", 0, false},
                      LinkCase{"http://a.example/", 2, false}));

TEST_F(PopupDecisionTest, LinkHoverWhileBlockingOffIsSpentLater) {
    check1.SetValue(0);
    check6.SetValue(1);
    state.strLinkText = "http://a.example/";
    Decide("http://x.example/");
    EXPECT_TRUE(state.blnAllowNext);
    check1.SetValue(1);
    state.strLinkText = "";
    EXPECT_EQ(Decide("http://x.example/").value, std::optional<bool>(false));
}

TEST_F(PopupDecisionTest, UnreadableAddressKeepsLinkExceptionAlreadyTaken) {
    check6.SetValue(1);
    state.strLinkText = "http://a.example/";
    RecordingCancelFlag cancel;
    FakeBrowser opener(std::nullopt);
    PopupDecision(Context(), opener, cancel);
    EXPECT_TRUE(state.blnAllowNext);
    EXPECT_FALSE(cancel.value.has_value());
}

TEST_F(PopupDecisionTest, OutsideSetupModeDisallowedListPlaysNoPart) {
    EXPECT_EQ(Decide("http://bad.example/").value, std::optional<bool>(true));
    EXPECT_EQ(prompt.loadCalls, 0);
}

TEST_F(PopupDecisionTest, SetupModeAllowedListWinsOverDisallowed) {
    check2.SetValue(1);
    state.strDisallowed = std::string("allowed.example\r\n");
    EXPECT_EQ(Decide("http://allowed.example/").value, std::optional<bool>(false));
}

TEST_F(PopupDecisionTest, SetupModeDisallowedSiteBlockedWithoutPrompt) {
    check2.SetValue(1);
    EXPECT_EQ(Decide("http://BAD.example/x").value, std::optional<bool>(true));
    EXPECT_EQ(prompt.loadCalls, 0);
    EXPECT_EQ(state.lngBlocked, 1);
}

struct PromptCase {
    bool allow;
    bool expectCancel;
    int blocked;
};

void PrintTo(const PromptCase& c, std::ostream* os) {
    *os << (c.allow ? "allow" : "block");
}

class PromptAnswerTest : public PopupDecisionTest,
                         public ::testing::WithParamInterface<PromptCase> {};

TEST_P(PromptAnswerTest, AnswerDecides) {
    check2.SetValue(1);
    state.blnPromptAllow = !GetParam().allow;  // a stale answer must not leak in
    pump.Post([] {});                          // unrelated events keep flowing
    pump.Post([this] { Answer(GetParam().allow); });
    RecordingCancelFlag cancel;
    cancel.onSet = [this] { EXPECT_TRUE(state.blnPromptDone); };
    FakeBrowser opener(std::string("http://Unknown.example/a"));
    PopupDecision(Context(), opener, cancel);
    EXPECT_EQ(cancel.value, std::optional<bool>(GetParam().expectCancel));
    EXPECT_EQ(cancel.writes, 1);
    EXPECT_EQ(state.lngBlocked, GetParam().blocked);
    EXPECT_EQ(promptShowedSite, "Unknown.example");
    EXPECT_EQ(prompt.showCalls, 1);
    EXPECT_GE(pump.waits, 1);  // slept for events instead of spinning
}

// Every way of blocking is kept with its opener, site key, popup address and reason.
struct HistoryCase {
    int setupMode;
    const char* url;
    std::optional<BlockerState::PromptAnswer> answer;  // nothing: the prompt is closed
    const char* reason;
};

class BlockedHistoryReasonTest : public PopupDecisionTest,
                                 public ::testing::WithParamInterface<HistoryCase> {};

TEST_P(BlockedHistoryReasonTest, BlockIsRecorded) {
    check2.SetValue(GetParam().setupMode);
    pump.Post([this] {
        if (GetParam().answer) {
            Answer(false, *GetParam().answer);
        } else {
            state.blnPromptDone = true;
            prompt.Unload();
        }
    });
    RecordingCancelFlag cancel;
    FakeBrowser opener{std::string(GetParam().url)};
    const std::uint64_t serial = PopupDecision(Context(), opener, cancel, "http://pop.example/x");
    ASSERT_EQ(state.history.Size(), 1u);
    const BlockedPopup& entry = state.history.Newest(0);
    EXPECT_EQ(serial, entry.serial);
    EXPECT_EQ(entry.opener, GetParam().url);
    EXPECT_EQ(entry.site, SiteKey(GetParam().url));
    EXPECT_EQ(entry.popup, "http://pop.example/x");
    EXPECT_EQ(ReasonText(entry.reason), GetParam().reason);
    EXPECT_GT(entry.time, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, BlockedHistoryReasonTest,
    ::testing::Values(
        HistoryCase{0, "http://Other.example/a", std::nullopt, "not on the allowed list"},
        HistoryCase{1, "http://bad.example/a", std::nullopt, "on the disallowed list"},
        HistoryCase{1, "http://new.example/", BlockerState::PromptAnswer::Now,
                    "answered Block Now"},
        HistoryCase{1, "http://new.example/", BlockerState::PromptAnswer::Always,
                    "answered Block Always"},
        HistoryCase{1, "http://new.example/", std::nullopt, "prompt closed"}));

TEST_F(PopupDecisionTest, AllowedRequestIsNotRecorded) {
    RecordingCancelFlag cancel;
    FakeBrowser opener{std::string("http://allowed.example/")};
    EXPECT_EQ(PopupDecision(Context(), opener, cancel, "http://p/"), 0u);
    EXPECT_EQ(state.history.Size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Answers, PromptAnswerTest,
                         ::testing::Values(PromptCase{true, false, 0}, PromptCase{false, true, 1}));

TEST_F(PopupDecisionTest, PromptClosedWithoutAnswerBlocks) {
    check2.SetValue(1);
    pump.Post([this] {
        state.blnPromptDone = true;  // unloading sets only the done flag
        prompt.Unload();
    });
    EXPECT_EQ(Decide("http://unknown.example/").value, std::optional<bool>(true));
    EXPECT_EQ(state.lngBlocked, 1);
}

TEST_F(PopupDecisionTest, QuitWhilePromptWaitsEndsTheWaitBlocked) {
    check2.SetValue(1);
    pump.Post([this] { pump.quit = true; });
    EXPECT_EQ(Decide("http://unknown.example/").value, std::optional<bool>(true));
    EXPECT_EQ(state.lngBlocked, 1);
    EXPECT_FALSE(prompt.visible);
}

// A second request while the prompt waits: it resets the flags, finds the prompt loaded, waits
// in its own loop; one answer ends both, and each blocked popup counts and sounds.
TEST_F(PopupDecisionTest, SecondRequestDuringPromptSharesTheAnswer) {
    check2.SetValue(1);
    RecordingCancelFlag inner;
    FakeBrowser innerOpener(std::string("http://second.example/"));
    pump.Post([&] {
        EXPECT_TRUE(prompt.visible);
        PopupDecision(Context(), innerOpener, inner);
        EXPECT_EQ(inner.value, std::optional<bool>(true));  // decided before the outer one
    });
    pump.Post([this] { Answer(false); });
    const auto outer = Decide("http://first.example/");
    EXPECT_EQ(outer.value, std::optional<bool>(true));
    EXPECT_EQ(state.lngBlocked, 2);
    EXPECT_EQ(sound.played.size(), 2u);
    EXPECT_EQ(promptShowedSite, "first.example");  // the prompt kept the first site
    EXPECT_EQ(state.strPromptSite, "second.example");
    EXPECT_EQ(prompt.loadCalls, 2);
}

TEST_F(PopupDecisionTest, SecondRequestDuringPromptAllowedByOneAnswer) {
    check2.SetValue(1);
    RecordingCancelFlag inner;
    FakeBrowser innerOpener(std::string("http://second.example/"));
    pump.Post([&] { PopupDecision(Context(), innerOpener, inner); });
    pump.Post([this] { Answer(true); });
    EXPECT_EQ(Decide("http://first.example/").value, std::optional<bool>(false));
    EXPECT_EQ(inner.value, std::optional<bool>(false));
    EXPECT_EQ(state.lngBlocked, 0);
}

// A storm: every request arrives inside the pump of the one before. Nesting stops at the bound;
// the requests past it are still blocked, counted and sounded, without pumping.
TEST_F(PopupDecisionTest, StormNestsNoDeeperThanTheBoundAndCountsEveryRequest) {
    constexpr int kRequests = 1000;
    int depth = 0, deepest = 0, blocked = 0;
    FakeBrowser opener(std::string("http://storm.example/"));
    for (int i = 0; i < kRequests; ++i) {
        pump.Post([&] {
            deepest = std::max(deepest, ++depth);
            RecordingCancelFlag cancel;
            PopupDecision(Context(), opener, cancel);
            blocked += cancel.value == std::optional<bool>(true) ? 1 : 0;
            --depth;
        });
    }
    while (!pump.events.empty()) {
        pump.DoEvents();  // the message loop
    }
    EXPECT_EQ(deepest, DecisionNesting::kMaxPumpingDepth + 1);
    EXPECT_EQ(blocked, kRequests);
    EXPECT_EQ(state.lngBlocked, kRequests);
    EXPECT_EQ(sound.played.size(), static_cast<std::size_t>(kRequests));
}

// In setup mode the decisions within the bound all wait for the one answer; those past it are
// blocked without a question.
TEST_F(PopupDecisionTest, StormInSetupModeAsksWithinTheBoundAndBlocksPastIt) {
    check2.SetValue(1);
    constexpr int kRequests = 40;
    std::vector<RecordingCancelFlag> flags(kRequests);
    FakeBrowser opener(std::string("http://unknown.example/"));
    for (int i = 1; i < kRequests; ++i) {
        pump.Post([&, i] { PopupDecision(Context(), opener, flags[i]); });
    }
    pump.Post([this] { Answer(true); });
    PopupDecision(Context(), opener, flags[0]);
    for (int i = 0; i < kRequests; ++i) {
        EXPECT_EQ(flags[i].value, std::optional<bool>(i >= DecisionNesting::kMaxPumpingDepth))
            << "request " << i;
    }
    EXPECT_EQ(state.lngBlocked, kRequests - DecisionNesting::kMaxPumpingDepth);
    EXPECT_EQ(prompt.loadCalls, DecisionNesting::kMaxPumpingDepth);
}

// An answer followed at once, within the same pump, by a further question: the decision that
// waited gets the answer given while it waited, the new question the one after.
TEST_F(PopupDecisionTest, EachWaitingDecisionGetsTheFirstAnswerGivenAfterItAsked) {
    check2.SetValue(1);
    RecordingCancelFlag later;
    FakeBrowser laterOpener(std::string("http://later.example/"));
    pump.Post([&] {
        Answer(true);
        PopupDecision(Context(), laterOpener, later);
    });
    pump.Post([this] { Answer(false); });
    EXPECT_EQ(Decide("http://first.example/").value, std::optional<bool>(false));
    EXPECT_EQ(later.value, std::optional<bool>(true));
    EXPECT_EQ(state.lngBlocked, 1);
}

}  // namespace
}  // namespace quell
