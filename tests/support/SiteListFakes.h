// The two site lists wired as the main window wires them, over fake list boxes and real list
// files in a temporary folder whose writes a test can make fail.
#pragma once

#include "blocker/BlockerState.h"
#include "store/Module1.h"
#include "support/Fakes.h"
#include "support/FaultyTextFiles.h"
#include "support/TempFolder.h"

namespace quell::testing {

struct SiteListFakes {
    TempFolder dir;
    BlockerState state;
    FakeListBox List1, List2;
    FaultyTextFiles files;
    Module1 lists{state, List1, List2, files, dir.path()};
};

}  // namespace quell::testing
