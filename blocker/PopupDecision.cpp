#include "blocker/PopupDecision.h"

#include <limits>

#include "blocker/SiteKey.h"
#include "blocker/TextCompare.h"
#include "blocker/modPlaySound.h"

namespace quell {
namespace {

// Counts, pumps once, sounds, cancels. A full counter stays at its maximum and the popup is
// still blocked: letting it through would punish a long-time user.
void Block(const PopupDecisionContext& context, platform::CancelFlag& cancel) {
    BlockerState& state = context.state;
    if (state.lngBlocked < std::numeric_limits<std::int32_t>::max()) {
        ++state.lngBlocked;
    }
    context.pump.DoEvents();
    if (platform::IsOn(context.Check5)) {
        modPlaySound::PlaySoundFile(context.sound, context.soundFile);
    }
    cancel.Set(true);
}

// Shows the prompt and waits for its answer without spinning: the thread sleeps until a
// message arrives and handles it, so clicks, other requests and the hot key go on working.
bool AskUser(const PopupDecisionContext& context, const std::string& key) {
    BlockerState& state = context.state;
    state.blnPromptDone = false;
    state.blnPromptAllow = false;
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

}  // namespace

bool IsLinkStatusText(const std::string& statusText) {
    // Longer than "http://" itself, so the bare scheme alone does not count.
    return statusText.size() > 7 && (StartsWithIgnoreAsciiCase(statusText, "http://") ||
                                     StartsWithIgnoreAsciiCase(statusText, "https://"));
}

void PopupDecision(const PopupDecisionContext& context, platform::WebBrowser& opener,
                   platform::CancelFlag& cancel) {
    BlockerState& state = context.state;

    if (platform::IsOn(context.Check6) && IsLinkStatusText(state.strLinkText)) {
        state.blnAllowNext = true;
    }

    const std::optional<std::string> location = opener.LocationURL();
    if (!location) {
        return;  // the browser's own answer stands
    }
    const std::string key = SiteKey(*location);

    if (!platform::IsOn(context.Check1)) {
        return;
    }
    if (state.blnAllowNext) {
        state.blnAllowNext = false;
        cancel.Set(false);
        return;
    }
    if (state.strAllowed.Contains(key)) {
        cancel.Set(false);
        return;
    }
    if (!platform::IsOn(context.Check2)) {
        Block(context, cancel);
        return;
    }
    if (state.strDisallowed.Contains(key)) {
        Block(context, cancel);
        return;
    }
    if (AskUser(context, key)) {
        cancel.Set(false);
    } else {
        Block(context, cancel);
    }
}

}  // namespace quell
