// The stand-in browser's list of windows, found in the Running Object Table: where the
// system's list is not implemented (Wine), the tests' browser stands in for the real one.
#pragma once

#include <windows.h>

#include <string>

#include "platform/standin/StandInProtocol.h"
#include "platform/win32/ShellWindowsAutomation.h"

namespace platform::win32 {

struct StandInLookOut {
    // The item name of the stand-in's moniker in the Running Object Table.
    std::wstring itemName = standin::kRotItemName;
    // How often to look for the stand-in, or check that it still runs: one table lookup each.
    UINT pollMilliseconds = 2000;
};

// The stand-in's list, looked up afresh on every call, or an empty list while it is not
// running. Connecting to its events starts a timer that follows the stand-in: when one starts
// it announces a window (so the tracker refreshes) and passes its events on; when it ends it
// announces a window gone.
StandInSource StandInShellWindows(StandInLookOut lookOut = {});

}  // namespace platform::win32
