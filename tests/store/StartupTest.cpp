#include "store/Startup.h"

#include <gtest/gtest.h>

#include "app/Form1Startup.h"
#include "blocker/AllowNext.h"
#include "support/MainWindowFakes.h"

namespace quell {
namespace {

using namespace quell::testing;
using Strings = std::vector<std::string>;

class StartupTest : public ::testing::Test, public MainWindowFakes {
  protected:
    StartupTest() {
        site.strProductName = "QuellPane";
        site.strCompanyName = "QuellPane Project";
        site.strWebsite = "quellpane.example";
        window.SetEventHandler([this](const platform::Event& e) {
            if (e.kind == platform::EventKind::Click && e.control >= 0) {
                clicks.emplace_back(
                    design::kForm1Design.controls[static_cast<std::size_t>(e.control)].name);
            }
            OnMainWindowEvent(parts, e);
        });
    }

    modSiteLink site;
    FakeHotKey hotKey;
    app::Form1Startup startupForm{form};
    MainWindowParts parts{state,  startupForm, settings, lists, app::ProductNamesOf(site),
                          hotKey, services};
    Strings clicks;
};

TEST_F(StartupTest, FirstRunCreatesListsAndComesUpWithDefaults) {
    state.blnAllowNext = true;
    Form1_Load(parts);

    EXPECT_EQ(dir.Read("allowed.txt"), "quellpane.example\r\n");
    EXPECT_EQ(dir.Read("disallowed.txt"), "\r\n");
    EXPECT_EQ(window.FakeList("List1").items, Strings{"quellpane.example"});
    EXPECT_TRUE(window.FakeList("List2").items.empty());
    EXPECT_EQ(state.strAllowed.Text(), "quellpane.example\r\n");
    EXPECT_EQ(state.strDisallowed.Text(), "");
    EXPECT_FALSE(state.blnAllowNext);

    namespace f1 = design::Form1Controls;
    const std::pair<design::CheckRef, int> boxes[] = {{f1::Check1, 1}, {f1::Check2, 1},
                                                      {f1::Check3, 0}, {f1::Check4, 0},
                                                      {f1::Check5, 1}, {f1::Check6, 0}};
    for (const auto& [box, value] : boxes) {
        EXPECT_EQ(window.Check(box).Value(), value) << box.index;
    }
    // Restoring "chkSound" as 1 runs its click, which writes it back at once.
    EXPECT_EQ(store.writes, Strings{"chkSound"});
    EXPECT_EQ(window.caption, "QuellPane by QuellPane Project");
    EXPECT_EQ(window.Text(design::Form1Controls::Command7).Text(), "Visit quellpane.example");
    EXPECT_EQ(Panel(1), "0 Popups blocked to date");
    EXPECT_EQ(window.FakeStatus("StatusBar1").widths, (std::vector<int>{3802, 3802}));
    EXPECT_EQ(window.State(), platform::WindowState::Normal);
    EXPECT_EQ(services.calls, (Strings{"StopGlobalSkin", "SetWindowIcons", "AddTrayIcon",
                                       "CreateTracker", "ShowHelp"}));
    ASSERT_EQ(hotKey.installs.size(), 1u);
    EXPECT_EQ(hotKey.installs[0].first, window.Handle());
    EXPECT_EQ(hotKey.installs[0].second, window.ControlHandle(design::Form1Controls::pctHotkey));
    EXPECT_TRUE(zorder.calls.empty());
}

TEST_F(StartupTest, BoxesRestoreInOrderEachRunningItsClick) {
    for (const char* key :
         {"chkLinks", "chkSound", "chkRunAtStart", "chkOnTop", "chkAuto", "chkStopPop"}) {
        store.Put(key, "1");
    }
    Form1_Load(parts);
    EXPECT_EQ(clicks, (Strings{"Check6", "Check5", "Check4", "Check3", "Check2", "Check1"}));
    EXPECT_EQ(services.Count("EnableRunAtStartup"), 1);
    EXPECT_TRUE(state.blnOnTop);
    EXPECT_TRUE(zorder.Topmost(window.Handle()));
    EXPECT_TRUE(zorder.Topmost(800));  // the help window joins the main window on top
}

TEST_F(StartupTest, BoxesRestoredAsZeroRunNothing) {
    for (const char* key :
         {"chkLinks", "chkSound", "chkRunAtStart", "chkOnTop", "chkAuto", "chkStopPop"}) {
        store.Put(key, "0");
    }
    Form1_Load(parts);
    EXPECT_TRUE(clicks.empty());
    EXPECT_TRUE(store.writes.empty());
}

TEST_F(StartupTest, CounterAndListFilesWinOverStoredListCopies) {
    store.Put("intStopped", "41");
    store.Put("strAllowed", "stale.example\r\n");
    dir.Write("allowed.txt", "a.example\r\n");
    dir.Write("disallowed.txt", "b.example\r\n");
    services.allowedExists = services.disallowedExists = true;
    Form1_Load(parts);
    EXPECT_EQ(Panel(1), "41 Popups blocked to date");
    EXPECT_EQ(state.strAllowed.Text(), "a.example\r\n");
    EXPECT_EQ(state.strDisallowed.Text(), "b.example\r\n");
    EXPECT_EQ(dir.Read("allowed.txt"), "a.example\r\n");
}

struct StateCase {
    const char* stored;
    bool minimized;
};

void PrintTo(const StateCase& c, std::ostream* os) {
    *os << '"' << c.stored << '"';
}

class SavedStateTest : public StartupTest, public ::testing::WithParamInterface<StateCase> {};

// The window is not shown while it loads, so it raises no Resize for the state it is given.
TEST_P(SavedStateTest, OnlyExactlyUpStartsShown) {
    store.Put("state", GetParam().stored);
    Form1_Load(parts);
    EXPECT_EQ(window.State() == platform::WindowState::Minimized, GetParam().minimized);
    EXPECT_FALSE(window.Visible());  // shown, if at all, by the hand-over after loading
    const char* expected = GetParam().minimized ? "down" : "up";
    EXPECT_EQ(form.state(), expected);
    EXPECT_EQ(store.Value("state"), expected);
}

INSTANTIATE_TEST_SUITE_P(States, SavedStateTest,
                         ::testing::Values(StateCase{"up", false}, StateCase{"down", true},
                                           StateCase{"", true}, StateCase{"Up", true}));

TEST_F(StartupTest, HelpOnlyForExactlyOne) {
    for (const char* value : {"0", "yes", " 1"}) {
        services.calls.clear();
        store.Put("showHelp", value);
        Form1_Load(parts);
        EXPECT_EQ(services.Count("ShowHelp"), 0) << value;
    }
}

TEST_F(StartupTest, TakenHotKeyIsSaidOnTheStatusLine) {
    hotKey.registers = false;
    Form1_Load(parts);
    EXPECT_EQ(Panel(2), kHotKeyTakenText);
}

TEST_F(StartupTest, UnreadableListIsSaidAndReadAgainOnATimer) {
    dir.Write("allowed.txt", "a.example\r\n");
    dir.Write("disallowed.txt", "b.example\r\n");
    services.allowedExists = services.disallowedExists = true;
    store.Put("strAllowed", "copy.example\r\n");
    files.failRead = true;
    Form1_Load(parts);
    EXPECT_EQ(Panel(2),
              "Could not read disallowed.txt: Access is denied. It is read again as soon as it "
              "can be.");
    EXPECT_EQ(services.Count("CreateTracker"), 1);
    EXPECT_EQ(state.strAllowed.Text(), "copy.example\r\n");  // decided from the copy meanwhile
    ASSERT_EQ(window.timers.size(), 1u);
    const int timer = window.timers.begin()->first;

    window.Raise(platform::EventKind::Timer, "", timer);  // still held
    EXPECT_EQ(window.timers.size(), 1u);
    files.failRead = false;
    window.Raise(platform::EventKind::Timer, "", timer);
    EXPECT_TRUE(window.timers.empty());
    EXPECT_EQ(Panel(2), "disallowed.txt could be read now: the list shows all its entries.");
    EXPECT_EQ(window.FakeList("List1").items, Strings{"a.example"});
    EXPECT_EQ(state.strDisallowed.Text(), "b.example\r\n");
}

// What a killed process left in the middle of a rewrite: beside a list file, an unfinished
// temporary goes; in place of a missing one, the temporary is the latest list.
TEST_F(StartupTest, UnfinishedRewritesAreClearedUpBeforeTheListsLoad) {
    dir.Write("allowed.txt", "a.example\r\n");
    dir.Write("allowed.txt.~abc123.tmp", "a.exa");
    dir.Write("disallowed.txt.~zz99yy.tmp", "b.example\r\n\r\n");
    dir.Write("allowed.txt.~abc123.bak", "not ours");
    services.allowedExists = true;
    Form1_Load(parts);
    EXPECT_FALSE(dir.Has("allowed.txt.~abc123.tmp"));
    EXPECT_FALSE(dir.Has("disallowed.txt.~zz99yy.tmp"));
    EXPECT_TRUE(dir.Has("allowed.txt.~abc123.bak"));
    EXPECT_EQ(dir.Read("allowed.txt"), "a.example\r\n");
    EXPECT_EQ(window.FakeList("List2").items, Strings{"b.example"});
}

TEST_F(StartupTest, ListTooLargeForASettingIsLeftOutOfTheSaveAndSaid) {
    Form1_Load(parts);
    store.writes.clear();
    state.strDisallowed = std::string(kLargestListCopy + 1, 'x');
    Form1_Unload(parts);
    EXPECT_EQ(store.writes, (Strings{"chkRunAtStart", "chkOnTop", "chkAuto", "chkStopPop",
                                     "intStopped", "strAllowed", "chkLinks", "state"}));
    EXPECT_EQ(Panel(2),
              "The disallowed list (512 KB) is too large for a copy in the settings; its file "
              "keeps it.");
}

TEST_F(StartupTest, UnloadSavesInOrderThenReleasesEverything) {
    Form1_Load(parts);
    store.writes.clear();
    services.calls.clear();
    state.lngBlocked = 7;
    window.Click("Check6");
    store.writes.clear();
    Form1_Unload(parts);
    EXPECT_EQ(store.writes,
              (Strings{"chkRunAtStart", "chkOnTop", "chkAuto", "chkStopPop", "intStopped",
                       "strAllowed", "strDisallowed", "chkLinks", "state"}));
    EXPECT_EQ(store.Value("intStopped"), "7");
    EXPECT_EQ(store.Value("chkLinks"), "1");
    EXPECT_EQ(store.Value("strAllowed"), "quellpane.example\r\n");
    EXPECT_EQ(services.calls, (Strings{"RemoveTrayIcon", "ReleaseTracker", "EndProgram"}));
    EXPECT_EQ(hotKey.removes, 1);
}

TEST_F(StartupTest, SessionEndSavesCounterAndSwitches) {
    Form1_Load(parts);
    state.lngBlocked = 12;
    window.Raise(platform::EventKind::EndSession, "");
    EXPECT_EQ(store.Value("intStopped"), "12");
    EXPECT_EQ(store.Value("chkStopPop"), "1");
    EXPECT_EQ(services.Count("EndProgram"), 0);
}

}  // namespace
}  // namespace quell
