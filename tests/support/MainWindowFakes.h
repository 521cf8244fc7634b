// The main window's controller over a fake window built from its real design, with real
// list files in a temporary folder and recording fakes of everything else.
#pragma once

#include <string>

#include "mainwindow/Form1.h"
#include "resources/Form1Design.h"
#include "support/FakeForm.h"
#include "support/FakeServices.h"
#include "support/FakeSettingsStore.h"
#include "support/FaultyTextFiles.h"
#include "support/TempFolder.h"

namespace quell::testing {

struct MainWindowFakes {
    std::string Panel(int n) { return window.FakeStatus("StatusBar1").Panel(n); }

    TempFolder dir;
    BlockerState state;
    FakeForm window{design::kForm1Design, 100, true};
    FakeSettingsStore store;
    Settings settings{store, "QuellPane", "quellpane.example"};
    FaultyTextFiles files;
    Module1 lists{state, window.List(design::Form1Controls::List1),
                  window.List(design::Form1Controls::List2), files, dir.path()};
    RecordingZOrder zorder;
    RecordingServices services;
    Form1 form{state, window, settings, lists, zorder, services};
};

}  // namespace quell::testing
