#include "blocker/Form3.h"

#include <gtest/gtest.h>

#include "mainwindow/clsOnTop.h"
#include "resources/Form1Design.h"
#include "resources/Form3Design.h"
#include "support/FakeForm.h"
#include "support/FaultyTextFiles.h"
#include "support/TempFolder.h"

namespace quell {
namespace {

using namespace quell::testing;

class Form3Test : public ::testing::Test {
  protected:
    // What the popup decision does before it waits.
    void Ask(const std::string& site) {
        state.blnPromptDone = false;
        state.blnPromptAllow = false;
        state.strPromptSite = site;
        form.Load();
        form.Show();
        form.SetVisible(true);
    }

    TempFolder dir;
    BlockerState state;
    FakeForm mainWindow{design::kForm1Design, 100, true};
    FakeForm window{design::kForm3Design, 300};
    FaultyTextFiles files;
    Module1 lists{state, mainWindow.List(design::Form1Controls::List1),
                  mainWindow.List(design::Form1Controls::List2), files, dir.path()};
    RecordingZOrder zorder;
    clsOnTop onTop{zorder};
    std::vector<std::string> reported;
    Form3 form{state, window, mainWindow,
               lists, onTop,  [this](const std::string& text) { reported.push_back(text); }};
};

TEST_F(Form3Test, LoadShowsSiteAndKeepsTopmostMainWindowOnTop) {
    state.blnOnTop = true;
    Ask("ads.example");
    EXPECT_EQ(window.Text(design::Form3Controls::Text1).Text(), "ads.example");
    EXPECT_EQ(window.caption, "Popup Detected!");
    ASSERT_EQ(zorder.calls.size(), 3u);
    EXPECT_EQ(zorder.calls[0].window, 100u);  // main window out of the band first
    EXPECT_EQ(zorder.calls[0].insertAfter, platform::kHwndNoTopmost);
    EXPECT_EQ(zorder.calls[1].window, 300u);
    EXPECT_EQ(zorder.calls[1].insertAfter, platform::kHwndTopmost);
    EXPECT_TRUE(zorder.Topmost(100));  // and back in
    EXPECT_TRUE(window.Visible());
}

TEST_F(Form3Test, WithoutOnTopOnlyThePromptIsRaised) {
    Ask("ads.example");
    ASSERT_EQ(zorder.calls.size(), 1u);
    EXPECT_EQ(zorder.calls[0].window, 300u);
}

TEST_F(Form3Test, SecondQuestionKeepsTheFirstSite) {
    Ask("first.example");
    Ask("second.example");
    EXPECT_EQ(window.loads, 1);
    EXPECT_EQ(window.Text(design::Form3Controls::Text1).Text(), "first.example");
}

struct AnswerCase {
    const char* button;
    bool allow;
    BlockerState::PromptAnswer how;
    const char* allowedFile;
    const char* disallowedFile;
};

void PrintTo(const AnswerCase& c, std::ostream* os) {
    *os << c.button;
}

class AnswerTest : public Form3Test, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(AnswerTest, ButtonAnswersAndEndsTheQuestion) {
    Ask("ads.example");
    window.Text(design::Form3Controls::Text1)
        .SetText("Edited.example");  // the edited text is what counts
    window.Click(GetParam().button);
    EXPECT_TRUE(state.blnPromptDone);
    EXPECT_EQ(state.blnPromptAllow, GetParam().allow);
    EXPECT_EQ(state.intPromptAnswer, GetParam().how);
    EXPECT_FALSE(window.IsLoaded());
    EXPECT_EQ(dir.Read("allowed.txt"), GetParam().allowedFile);
    EXPECT_EQ(dir.Read("disallowed.txt"), GetParam().disallowedFile);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, AnswerTest,
    ::testing::Values(AnswerCase{"Command1", true, BlockerState::PromptAnswer::Always,
                                 "Edited.example\r\n\r\n", ""},
                      AnswerCase{"Command2", false, BlockerState::PromptAnswer::Always, "",
                                 "Edited.example\r\n"},
                      AnswerCase{"Command3", true, BlockerState::PromptAnswer::Now, "", ""},
                      AnswerCase{"Command4", false, BlockerState::PromptAnswer::Now, "", ""}));

TEST_F(Form3Test, CloseBoxAndEscapeAnswerBlock) {
    Ask("ads.example");
    window.Raise(platform::EventKind::QueryClose, "");
    EXPECT_TRUE(state.blnPromptDone);
    EXPECT_FALSE(state.blnPromptAllow);
    EXPECT_EQ(state.intPromptAnswer, BlockerState::PromptAnswer::None) << "closed, not answered";
    EXPECT_FALSE(window.IsLoaded());
    Ask("ads.example");
    window.Raise(platform::EventKind::EscapeKey, "");
    EXPECT_TRUE(state.blnPromptDone);
    EXPECT_FALSE(state.blnPromptAllow);
    EXPECT_EQ(dir.EntryCount(), 0);
}

TEST_F(Form3Test, ListFailureStillEndsTheQuestionAndIsReported) {
    files.failAppend = true;
    Ask("ads.example");
    window.Click("Command1");
    EXPECT_TRUE(state.blnPromptDone);
    EXPECT_TRUE(state.blnPromptAllow);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], "Could not add to allowed.txt: There is not enough space on the disk.");
}

TEST_F(Form3Test, AllowAlwaysAddsToMainWindowListAndText) {
    Ask("ads.example");
    window.Click("Command1");
    EXPECT_EQ(mainWindow.FakeList("List1").items, std::vector<std::string>{"ads.example"});
    EXPECT_TRUE(state.strAllowed.Contains("ADS.example"));
}

}  // namespace
}  // namespace quell
