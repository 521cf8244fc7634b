#include "blocker/PopupDecision.h"

#include <ctime>
#include <limits>

#include "blocker/SiteKey.h"
#include "blocker/TextCompare.h"
#include "blocker/modPlaySound.h"

namespace quell {
namespace {

class DepthScope {
  public:
    explicit DepthScope(int& depth) : depth_(++depth) {}
    ~DepthScope() { --depth_; }
    DepthScope(const DepthScope&) = delete;
    DepthScope& operator=(const DepthScope&) = delete;
    bool mayPump() const { return depth_ <= DecisionNesting::kMaxPumpingDepth; }

  private:
    int& depth_;
};

// What a blocked request is kept in the history with.
struct Blocked {
    std::string& opener;
    std::string& site;
    std::string_view popup;
};

// Counts, records, pumps once (unless nested too deep), sounds, cancels. A full counter stays at
// its maximum and the popup is still blocked: letting it through would punish a long-time user.
std::uint64_t Block(const PopupDecisionContext& context, const DepthScope& depth,
                    platform::CancelFlag& cancel, const Blocked& what, BlockReason reason) {
    BlockerState& state = context.state;
    if (state.lngBlocked < std::numeric_limits<std::int32_t>::max()) {
        ++state.lngBlocked;
    }
    // Seconds are enough for the history, and std::time costs a fraction of a finer clock.
    const std::uint64_t serial = state.history.Record(std::time(nullptr), std::move(what.opener),
                                                      std::move(what.site), what.popup, reason);
    if (depth.mayPump()) {
        context.pump.DoEvents();
    }
    if (platform::IsOn(context.Check5)) {
        modPlaySound::PlaySoundFile(context.sound, context.soundFile);
    }
    cancel.Set(true);
    return serial;
}

// An answer in the prompt's flags joins the answers once. Looked at after every pump of a wait
// and before a new question resets the flags: an answer followed, within the same pump, by a
// further question is not lost to the decisions that waited for it.
void SeeAnswer(const PopupDecisionContext& context) {
    DecisionNesting& nesting = context.nesting;
    if (context.state.blnPromptDone && !nesting.answerSeen) {
        nesting.answers.push_back(context.state.blnPromptAllow);
        nesting.answerSeen = true;
    }
}

// Shows the prompt and waits for its answer without spinning: the thread sleeps until a
// message arrives and handles it, so clicks, other requests and the hot key go on working.
// The answer is the first given after the question, whichever decision's wait saw it.
bool AskUser(const PopupDecisionContext& context, const std::string& key) {
    BlockerState& state = context.state;
    DecisionNesting& nesting = context.nesting;
    SeeAnswer(context);
    state.blnPromptDone = false;
    state.blnPromptAllow = false;
    state.intPromptAnswer = BlockerState::PromptAnswer::None;
    state.strPromptSite = key;
    nesting.answerSeen = false;
    const std::size_t mine = nesting.answers.size();
    ++nesting.waiting;
    context.Form3.Load();
    context.Form3.Show();
    context.Form3.SetVisible(true);
    SeeAnswer(context);  // a prompt that could not load counts as closed
    while (nesting.answers.size() <= mine) {
        if (context.pump.QuitRequested()) {
            // The program is ending: blocked, as a closed prompt blocks; the outer loop saves.
            context.Form3.SetVisible(false);
            if (--nesting.waiting == 0) {
                nesting.answers.clear();
            }
            return false;
        }
        context.pump.WaitForEvents();
        context.pump.DoEvents();
        SeeAnswer(context);
    }
    const bool allow = nesting.answers[mine];
    if (--nesting.waiting == 0) {
        nesting.answers.clear();
    }
    return allow;
}

BlockReason PromptReason(BlockerState::PromptAnswer answer) {
    switch (answer) {
        case BlockerState::PromptAnswer::Now:
            return BlockReason::BlockNow;
        case BlockerState::PromptAnswer::Always:
            return BlockReason::BlockAlways;
        case BlockerState::PromptAnswer::None:
            break;
    }
    return BlockReason::PromptClosed;
}

}  // namespace

bool IsLinkStatusText(const std::string& statusText) {
    // Longer than "http://" itself, so the bare scheme alone does not count.
    return statusText.size() > 7 && (StartsWithIgnoreAsciiCase(statusText, "http://") ||
                                     StartsWithIgnoreAsciiCase(statusText, "https://"));
}

std::uint64_t PopupDecision(const PopupDecisionContext& context, platform::WebBrowser& opener,
                            platform::CancelFlag& cancel, std::string_view popupUrl) {
    BlockerState& state = context.state;
    const DepthScope depth(context.nesting.depth);

    if (platform::IsOn(context.Check6) && IsLinkStatusText(state.strLinkText)) {
        state.blnAllowNext = true;
    }

    std::optional<std::string> location = opener.LocationURL();
    if (!location) {
        return 0;  // the browser's own answer stands
    }
    std::string key = SiteKey(*location);
    const Blocked blocked{*location, key, popupUrl};

    if (!platform::IsOn(context.Check1)) {
        return 0;
    }
    if (state.blnAllowNext) {
        state.blnAllowNext = false;
        cancel.Set(false);
        return 0;
    }
    if (state.strAllowed.Contains(key)) {
        cancel.Set(false);
        return 0;
    }
    if (!platform::IsOn(context.Check2)) {
        return Block(context, depth, cancel, blocked, BlockReason::NotAllowed);
    }
    if (state.strDisallowed.Contains(key)) {
        return Block(context, depth, cancel, blocked, BlockReason::Disallowed);
    }
    if (!depth.mayPump()) {
        // Too deep in a storm to ask: blocked unasked, as a prompt closed without an answer.
        return Block(context, depth, cancel, blocked, BlockReason::PromptClosed);
    }
    if (AskUser(context, key)) {
        cancel.Set(false);
        return 0;
    }
    return Block(context, depth, cancel, blocked, PromptReason(state.intPromptAnswer));
}

}  // namespace quell
