#include "blocker/AllowNext.h"

#include <string>

namespace quell {

void ToggleAllowNext(BlockerState& state, platform::StatusBar& status) {
    state.blnAllowNext = !state.blnAllowNext;
    platform::SetStatus(status,
                        std::string(state.blnAllowNext ? kNextAllowedText : kNextNotAllowedText));
}

}  // namespace quell
