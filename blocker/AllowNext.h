// The one-shot pass for the next popup, switched by the button, the menus and Win+Z.
#pragma once

#include <string_view>

#include "blocker/BlockerState.h"
#include "platform/Controls.h"

namespace quell {

inline constexpr std::string_view kNextAllowedText = "The next popup will be allowed.";
inline constexpr std::string_view kNextNotAllowedText = "The next popup will NOT be allowed.";
// Said once at start-up when Win+Z cannot be registered: the button's tooltip promises it.
inline constexpr std::string_view kHotKeyTakenText = "Win+Z is taken: use \"Allow Next Popup\"";

void ToggleAllowNext(BlockerState& state, platform::StatusBar& status);

}  // namespace quell
