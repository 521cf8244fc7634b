// The one record of state that the blocker, the site lists, start-up and the main window share.
// Everything runs on the user-interface thread, so it is never locked.
#pragma once

#include <cstdint>
#include <string>

#include "blocker/BlockedHistory.h"
#include "blocker/ListText.h"

namespace quell {

struct BlockerState {
    ListText strAllowed;          // allowed-site list text
    ListText strDisallowed;       // disallowed-site list text
    bool blnPromptAllow = false;  // the prompt's answer: allow
    bool blnAllowNext = false;    // one-shot pass for the next popup
    bool blnPromptDone = false;   // the prompt has been answered or closed
    std::string strPromptSite;    // site key handed to the prompt
    bool blnOnTop = false;        // the main window is kept on top
    std::int32_t lngBlocked = 0;  // popups blocked to date
    std::string strLinkText;      // latest browser status-bar text
    // How the prompt was answered, for the history: set by its buttons, reset with the flags.
    enum class PromptAnswer { None, Now, Always } intPromptAnswer = PromptAnswer::None;
    BlockedHistory history;  // the popups blocked in this run
};

}  // namespace quell
