#include "blocker/PopupDecision.h"

#include <ctime>
#include <limits>

#include "blocker/SiteKey.h"
#include "blocker/TextCompare.h"
#include "blocker/modPlaySound.h"

namespace quell {
namespace {

// What a blocked request is kept in the history with.
struct Blocked {
    std::string& opener;
    std::string& site;
    std::string_view popup;
};

// Counts, records, pumps once, sounds, cancels. A full counter stays at its maximum and the
// popup is still blocked: letting it through would punish a long-time user.
std::uint64_t Block(const PopupDecisionContext& context, platform::CancelFlag& cancel,
                    const Blocked& what, BlockReason reason) {
    BlockerState& state = context.state;
    if (state.lngBlocked < std::numeric_limits<std::int32_t>::max()) {
        ++state.lngBlocked;
    }
    // Seconds are enough for the history, and std::time costs a fraction of a finer clock.
    const std::uint64_t serial = state.history.Record(std::time(nullptr), std::move(what.opener),
                                                      std::move(what.site), what.popup, reason);
    context.pump.DoEvents();
    if (platform::IsOn(context.Check5)) {
        modPlaySound::PlaySoundFile(context.sound, context.soundFile);
    }
    cancel.Set(true);
    return serial;
}

// Shows the prompt and waits for its answer without spinning: the thread sleeps until a
// message arrives and handles it, so clicks, other requests and the hot key go on working.
bool AskUser(const PopupDecisionContext& context, const std::string& key) {
    BlockerState& state = context.state;
    state.blnPromptDone = false;
    state.blnPromptAllow = false;
    state.intPromptAnswer = BlockerState::PromptAnswer::None;
    state.strPromptSite = key;
    context.Form3.Load();
    context.Form3.Show();
    context.Form3.SetVisible(true);
    while (!state.blnPromptDone) {
        if (context.pump.QuitRequested()) {
            // The program is ending: blocked, as a closed prompt blocks; the outer loop saves.
            context.Form3.SetVisible(false);
            return false;
        }
        context.pump.WaitForEvents();
        context.pump.DoEvents();
    }
    return state.blnPromptAllow;
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
        return Block(context, cancel, blocked, BlockReason::NotAllowed);
    }
    if (state.strDisallowed.Contains(key)) {
        return Block(context, cancel, blocked, BlockReason::Disallowed);
    }
    if (AskUser(context, key)) {
        cancel.Set(false);
        return 0;
    }
    return Block(context, cancel, blocked, PromptReason(state.intPromptAnswer));
}

}  // namespace quell
