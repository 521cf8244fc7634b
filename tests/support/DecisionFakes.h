// What a popup decision reads and drives, as fakes: the main window's boxes (blocking on, the
// rest off), the prompt, the event pump and the sound.
#pragma once

#include <string>
#include <utility>

#include "blocker/BlockerState.h"
#include "blocker/PopupDecision.h"
#include "support/Fakes.h"

namespace quell::testing {

struct DecisionFakes {
    PopupDecisionContext Context(BlockerState& state, std::string soundFile = {}) {
        return {state,  check1, check2, check5, check6, prompt, pump, sound, std::move(soundFile),
                nesting};
    }

    FakeCheckBox check1{1}, check2{0}, check5{0}, check6{0};
    FakePromptWindow prompt;
    ScriptedEventPump pump;
    FakeSound sound;
    DecisionNesting nesting;
};

}  // namespace quell::testing
