#include "mainwindow/Form1.h"

#include <gtest/gtest.h>

#include "blocker/AllowNext.h"
#include "mainwindow/Module2.h"
#include "resources/Form1Design.h"
#include "support/MainWindowFakes.h"

namespace quell {
namespace {

using namespace quell::testing;

// The finder behind every control reference: a name the table lacks, or one of another kind,
// finds nothing, and a reference made from it does not compile.
constexpr auto kCheckBox = design::ControlKind::CheckBox;
static_assert(design::FindControl(design::kForm1Design, "Check1", kCheckBox) ==
              design::Form1Controls::Check1.index);
static_assert(design::FindControl(design::kForm1Design, "Check7", kCheckBox) < 0);
static_assert(design::FindControl(design::kForm1Design, "List1", kCheckBox) < 0);
static_assert(design::FindMenuItem(design::kForm1Design, "mnuFileItem", 0) < 0);
static_assert(design::FindMenuArray(design::kForm1Design, "mnuFile") == 0);

class Form1Test : public ::testing::Test, public MainWindowFakes {
  protected:
    Form1Test() {
        window.FakeStatus("StatusBar1").AddPanel();
        window.FakeStatus("StatusBar1").AddPanel();
        window.SetEventHandler([this](const platform::Event& e) { form.OnEvent(e); });
    }

    std::string Status() { return Panel(2); }
};

struct SwitchCase {
    const char* box;
    const char* onText;
    const char* offText;
};

void PrintTo(const SwitchCase& c, std::ostream* os) {
    *os << c.box;
}

class SwitchTextTest : public Form1Test, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(SwitchTextTest, ClickWritesItsStatusText) {
    window.Click(GetParam().box);
    EXPECT_EQ(Status(), GetParam().onText);
    window.Click(GetParam().box);
    EXPECT_EQ(Status(), GetParam().offText);
    // A value set by the program runs the same behaviour as a click.
    window.Check({window.IndexOf(GetParam().box)}).SetValue(1);
    EXPECT_EQ(Status(), GetParam().onText);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, SwitchTextTest,
    ::testing::Values(SwitchCase{"Check1", "Now blocking popups", "Now allowing popups"},
                      SwitchCase{"Check2", "Setup Mode Enabled", "Setup Mode Disabled"},
                      SwitchCase{"Check6", "Auto New Window Enabled", "Auto New Window Disabled"},
                      SwitchCase{"Check5", "Sounds Enabled", "Sounds Disabled"},
                      SwitchCase{"Check3", "Always On Top Enabled", "Always On Top Disabled"},
                      SwitchCase{"Check4", "Run On Startup Enabled", "Run On Startup Disabled"}));

TEST_F(Form1Test, SoundAndOnTopAreSavedAtTheClickOthersAreNot) {
    window.Click("Check5");
    EXPECT_EQ(store.Value("chkSound"), "1");
    window.Click("Check5");
    EXPECT_EQ(store.Value("chkSound"), "0");
    window.Click("Check3");
    EXPECT_EQ(store.Value("chkOnTop"), "1");
    for (const char* box : {"Check1", "Check2", "Check4", "Check6"}) {
        window.Click(box);
    }
    EXPECT_EQ(store.writes, (std::vector<std::string>{"chkSound", "chkSound", "chkOnTop"}));
}

TEST_F(Form1Test, AlwaysOnTopMovesOnlyTheZOrderWithFlagsThree) {
    window.Click("Check3");
    ASSERT_EQ(zorder.calls.size(), 1u);
    EXPECT_EQ(zorder.calls[0].window, window.Handle());
    EXPECT_EQ(zorder.calls[0].insertAfter, platform::kHwndTopmost);
    EXPECT_EQ(zorder.calls[0].flags, 3u);
    EXPECT_TRUE(state.blnOnTop);
    window.Click("Check3");
    EXPECT_EQ(zorder.calls[1].insertAfter, platform::kHwndNoTopmost);
    EXPECT_EQ(zorder.calls[1].flags, 3u);
    EXPECT_FALSE(state.blnOnTop);
}

TEST_F(Form1Test, RunAtStartupFailureLeavesBoxUntickedAndSaysWhy) {
    services.runResult = {false, "Run On Startup could not be enabled: Access is denied."};
    window.Click("Check4");
    EXPECT_EQ(window.Check(design::Form1Controls::Check4).Value(), 0);
    EXPECT_EQ(Status(), "Run On Startup could not be enabled: Access is denied.");
    EXPECT_EQ(services.calls,
              (std::vector<std::string>{"EnableRunAtStartup", "DisableRunAtStartup"}));
}

TEST_F(Form1Test, RunAtStartupForUserOnlyKeepsBoxTicked) {
    services.runResult = {true, "Run On Startup Enabled for your account only."};
    window.Click("Check4");
    EXPECT_EQ(window.Check(design::Form1Controls::Check4).Value(), 1);
    EXPECT_EQ(Status(), "Run On Startup Enabled for your account only.");
}

// The button, the Action menu entry, the tray entry and the hot key each toggle once.
TEST_F(Form1Test, EveryAllowNextEntryTogglesExactlyOnce) {
    namespace f1 = design::Form1Controls;
    const auto item = design::MenuItem(design::kForm1Design, "mnuActionItem", 1);
    const platform::Event entries[] = {
        {platform::EventKind::Click, f1::Command5.index},
        {platform::EventKind::Click, -1, item.position, 1},
        {platform::EventKind::Click, -1, f1::allow.position},
        {platform::EventKind::MouseMove, f1::pctHotkey.index},
    };
    for (const auto& entry : entries) {
        const bool before = state.blnAllowNext;
        window.Raise(entry);
        EXPECT_NE(state.blnAllowNext, before) << entry.control << " " << entry.menuItem;
        EXPECT_EQ(Status(), before ? kNextNotAllowedText : kNextAllowedText);
    }
}

TEST_F(Form1Test, HotKeyTwiceLeavesPassOff) {
    window.Raise(platform::EventKind::MouseMove, "pctHotkey");
    window.Raise(platform::EventKind::MouseMove, "pctHotkey", -1, 37, 12);
    EXPECT_FALSE(state.blnAllowNext);
    EXPECT_EQ(Status(), "The next popup will NOT be allowed.");
}

TEST_F(Form1Test, MenusReachTheirTargetsAndOtherIndexesDoNothing) {
    window.Raise(platform::EventKind::Click, "mnuToolsItem", 0);
    EXPECT_EQ(Status(), "tools added");
    window.Raise(platform::EventKind::Click, "mnuToolsItem", 1);
    EXPECT_EQ(Status(), "tools removed");
    window.Raise(platform::EventKind::Click, "Command7");
    window.Raise(platform::EventKind::Click, "mnuFileItem", 0);
    window.Raise(platform::EventKind::Click, "mnuToolsItem", 2);
    window.Raise(platform::EventKind::Click, "mnuHelpItem", 1);
    window.Raise(platform::EventKind::Click, "close");
    window.Raise(platform::EventKind::Click, "mnuFileItem", 1);
    window.Raise(platform::EventKind::Click, "Exit");
    window.Raise(platform::EventKind::Click, "mnuActionItem", 2);
    window.Raise(platform::EventKind::Click, "blocked");
    EXPECT_EQ(services.calls,
              (std::vector<std::string>{"AddToolsEntry", "RemoveToolsEntry", "OpenWebsite", "Exit",
                                        "Exit", "ShowBlockedPopups", "ShowBlockedPopups"}));
    EXPECT_FALSE(state.blnAllowNext);
}

TEST_F(Form1Test, HelpAndAboutGoOnTopOnlyWhileMainWindowIs) {
    window.Raise(platform::EventKind::Click, "mnuHelpItem", 0);
    EXPECT_TRUE(zorder.calls.empty());
    window.Click("Check3");
    window.Raise(platform::EventKind::Click, "mnuHelpItem", 0);
    window.Raise(platform::EventKind::Click, "mnuAboutItem", 0);
    EXPECT_TRUE(zorder.Topmost(800));
    EXPECT_TRUE(zorder.Topmost(900));
    EXPECT_EQ(zorder.calls.back().flags, 3u);
}

TEST_F(Form1Test, MinimiseHidesIntoTrayAndShowProgramRestores) {
    window.Show();
    window.Click("Command6");
    EXPECT_FALSE(window.Visible());
    EXPECT_EQ(form.state(), "down");
    EXPECT_EQ(store.Value("state"), "down");
    window.Raise(platform::EventKind::Click, "show");
    EXPECT_TRUE(window.Visible());
    EXPECT_EQ(window.State(), platform::WindowState::Normal);
    EXPECT_EQ(store.Value("state"), "up");
    window.Raise(platform::EventKind::Click, "mnuActionItem", 0);
    EXPECT_EQ(store.Value("state"), "down");
}

TEST_F(Form1Test, EnterAddsAndDeleteKeyDeletes) {
    window.Text(design::Form1Controls::Text1).SetText("a.example");
    window.Raise(platform::EventKind::EnterKey, "Text1");
    window.Text(design::Form1Controls::Text2).SetText("b.example");
    window.Raise(platform::EventKind::EnterKey, "Text2");
    EXPECT_EQ(dir.Read("allowed.txt"), "a.example\r\n\r\n");
    EXPECT_EQ(dir.Read("disallowed.txt"), "b.example\r\n\r\n");
    window.FakeList("List1").selected = 0;
    window.Raise(platform::EventKind::DeleteKey, "List1");
    EXPECT_EQ(dir.Read("allowed.txt"), "\r\n");
    EXPECT_EQ(state.strAllowed.Text(), "");
}

TEST_F(Form1Test, CloseBoxExits) {
    window.Raise(platform::EventKind::QueryClose, "");
    EXPECT_EQ(services.calls, std::vector<std::string>{"Exit"});
}

}  // namespace
}  // namespace quell

namespace quell {
namespace {

class TrayCodeTest : public Form1Test,
                     public ::testing::WithParamInterface<std::pair<int, bool>> {};

TEST_P(TrayCodeTest, OnlyButtonClicksOpenTheMenu) {
    TrayNotify(services, GetParam().first);
    EXPECT_EQ(services.Count("ShowTrayMenu"), GetParam().second ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Codes, TrayCodeTest,
                         ::testing::Values(std::pair{513, true}, std::pair{514, true},
                                           std::pair{517, true}, std::pair{512, false},
                                           std::pair{515, false}, std::pair{516, false},
                                           std::pair{518, false}, std::pair{0, false}));

TEST(TrayTipTest, ProductAndLiveCount) {
    EXPECT_EQ(TrayTip("QuellPane", 0), "QuellPane - 0 popups blocked");
    EXPECT_EQ(TrayTip("QuellPane", 1), "QuellPane - 1 popup blocked");
    EXPECT_EQ(TrayTip("QuellPane", 2147483647), "QuellPane - 2147483647 popups blocked");
    EXPECT_EQ(TrayTip("QuellPane", 12, "ads.example"),
              "QuellPane - 12 popups blocked, last: ads.example");
    // Within the 127 units the tip holds, cut on a character (an emoji takes two units).
    const std::string prefix = "QuellPane - 12 popups blocked, last: ";  // 37 units
    const std::string fits(90, 'a');
    EXPECT_EQ(TrayTip("QuellPane", 12, fits), prefix + fits);
    const std::string tip = TrayTip("QuellPane", 12, std::string(88, 'a') + "\xF0\x9F\x98\x80x");
    EXPECT_EQ(tip, prefix + std::string(88, 'a') + "\xE2\x80\xA6");
    EXPECT_EQ(TrayTip("QuellPane", 12, std::string(89, 'a') + "\xC3\xA9x"),
              prefix + std::string(89, 'a') + "\xE2\x80\xA6");
}

}  // namespace
}  // namespace quell
