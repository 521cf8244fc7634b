// The answer to a browser window that asks for a new window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "blocker/BlockerState.h"
#include "blocker/PromptWindow.h"
#include "platform/Browser.h"
#include "platform/Controls.h"
#include "platform/EventPump.h"
#include "platform/Sound.h"

namespace quell {

// What the decisions running at once share: they nest through the event pump, each inside the
// pump of the one before.
struct DecisionNesting {
    // A storm of requests would otherwise nest one decision per request and overflow the stack.
    // Past this depth a request is decided without pumping: blocked, counted, never asked.
    static constexpr int kMaxPumpingDepth = 32;
    int depth = 0;
    // The prompt's answers in the order given, for the decisions waiting when each came; kept
    // while any decision waits.
    std::vector<bool> answers;
    bool answerSeen = true;  // the prompt's flags hold no answer not yet in `answers`
    int waiting = 0;
};

// What the decision reads and drives; all of it belongs to the main window's run.
struct PopupDecisionContext {
    BlockerState& state;
    const platform::CheckBox& Check1;  // popup blocking
    const platform::CheckBox& Check2;  // setup mode
    const platform::CheckBox& Check5;  // sound
    const platform::CheckBox& Check6;  // link exception
    PromptWindow& Form3;
    platform::EventPump& pump;
    platform::Sound& sound;
    std::string soundFile;
    DecisionNesting& nesting;
};

// Sets the cancel flag to block (true) or allow (false) the new window, always as the very
// last step; on a failure the flag is left as the browser passed it. Re-entrant through the
// event pump: further requests may be decided while this one waits for the prompt. A blocked
// request is kept in the history with `popupUrl`, the popup's own address when the browser
// gave it. Returns that entry's serial, 0 when nothing was blocked.
std::uint64_t PopupDecision(const PopupDecisionContext& context, platform::WebBrowser& opener,
                            platform::CancelFlag& cancel, std::string_view popupUrl = {});

// The link exception's test of a status text: a link address starting with a web scheme.
bool IsLinkStatusText(const std::string& statusText);

}  // namespace quell
