#include "mainwindow/ListCommands.h"

#include <gtest/gtest.h>

#include "support/SiteListFakes.h"

namespace quell {
namespace {

using testing::FakeListBox;
using testing::FakePanelStatusBar;
using testing::FakeTextBox;
using testing::SiteListFakes;
using Items = std::vector<std::string>;

class ListCommandsTest : public ::testing::Test, public SiteListFakes {
  protected:
    // The main window's two panels, as start-up adds them; the status line is the second.
    ListCommandsTest() {
        status.AddPanel();
        status.AddPanel();
    }

    void Load(const std::string& allowed) {
        dir.Write("allowed.txt", allowed);
        ASSERT_TRUE(lists.LoadAllowed().ok());
    }

    FakeTextBox Text1, Text2;
    FakePanelStatusBar status;
};

struct AddCase {
    const char* typed;
    bool added;
};

void PrintTo(const AddCase& c, std::ostream* os) {
    *os << "\"" << c.typed << "\"";
}

class AddCommandTest : public ListCommandsTest, public ::testing::WithParamInterface<AddCase> {};

TEST_P(AddCommandTest, AddsUnlessEmptyOrOneSpace) {
    Load("host.example\r\n");
    Text1.SetText(GetParam().typed);
    AddSiteCommand(lists, SiteList::Allowed, Text1, status);
    const std::string typed = GetParam().typed;
    if (GetParam().added) {
        EXPECT_EQ(dir.Read("allowed.txt"), "host.example\r\n" + typed + "\r\n\r\n");
        EXPECT_EQ(List1.items, (Items{"host.example", typed}));
    } else {
        EXPECT_EQ(dir.Read("allowed.txt"), "host.example\r\n");
        EXPECT_EQ(List1.items, Items{"host.example"});
    }
    EXPECT_EQ(Text1.Text(), typed);  // the box keeps its text
    EXPECT_TRUE(status.history.empty());
}

INSTANTIATE_TEST_SUITE_P(Typed, AddCommandTest,
                         ::testing::Values(AddCase{"a.com", true}, AddCase{"", false},
                                           AddCase{" ", false}, AddCase{"  ", true},
                                           AddCase{" Lead.com", true}));

TEST_F(ListCommandsTest, DisallowedAddUsesItsOwnFileAndBox) {
    dir.Write("disallowed.txt", "\r\n");
    ASSERT_TRUE(lists.LoadDisallowed().ok());
    Text2.SetText("b.org");
    AddSiteCommand(lists, SiteList::Disallowed, Text2, status);
    EXPECT_EQ(dir.Read("disallowed.txt"), "b.org\r\n\r\n");
    EXPECT_EQ(List2.items, Items{"b.org"});
    EXPECT_EQ(state.strDisallowed.Text(), "b.org\r\n");
    EXPECT_FALSE(dir.Has("allowed.txt"));
}

// Deleting abc.com must not stop the decision from honouring the entries that merely contain
// it, which the user still sees listed.
TEST_F(ListCommandsTest, DeleteRemovesOnlySelectedEntryFromAllThreeCopies) {
    Load("abc.com\r\nads.abc.com\r\nABC.COM.au\r\n");
    List1.selected = 0;
    DeleteSiteCommand(lists, SiteList::Allowed, status);
    EXPECT_EQ(List1.items, (Items{"ads.abc.com", "ABC.COM.au"}));
    EXPECT_EQ(dir.Read("allowed.txt"), "ads.abc.com\r\nABC.COM.au\r\n\r\n");
    EXPECT_EQ(state.strAllowed.Text(), "ads.abc.com\r\nABC.COM.au\r\n");
    EXPECT_TRUE(state.strAllowed.Contains("ads.abc.com"));
}

TEST_F(ListCommandsTest, DeleteWithNothingSelectedChangesNothing) {
    Load("a.com\r\n");
    dir.Write("disallowed.txt", "");
    ASSERT_TRUE(lists.LoadDisallowed().ok());
    DeleteSiteCommand(lists, SiteList::Allowed, status);
    EXPECT_EQ(List1.items, Items{"a.com"});
    EXPECT_EQ(dir.Read("allowed.txt"), "a.com\r\n");
    FakeListBox& empty = List2;
    EXPECT_EQ(empty.ListCount(), 0);
    DeleteSiteCommand(lists, SiteList::Disallowed, status);
    EXPECT_TRUE(status.history.empty());
}

TEST_F(ListCommandsTest, FailedRewriteIsShownAndListStaysTrueToTheBox) {
    Load("a.com\r\nb.com\r\n");
    files.failReplace = true;
    Text1.SetText("c.com");
    AddSiteCommand(lists, SiteList::Allowed, Text1, status);
    EXPECT_EQ(status.Panel(2),
              "Could not save allowed.txt: There is not enough space on the disk.");
    // The append before the failed rewrite stays done.
    EXPECT_EQ(dir.Read("allowed.txt"), "a.com\r\nb.com\r\nc.com\r\n");
    EXPECT_EQ(List1.items, (Items{"a.com", "b.com", "c.com"}));
}

TEST_F(ListCommandsTest, UnreadableFileStopsDeleteAndSaysWhy) {
    Load("a.com\r\n");
    List1.selected = 0;
    files.failRead = true;
    DeleteSiteCommand(lists, SiteList::Allowed, status);
    EXPECT_EQ(status.Panel(2), "Could not read allowed.txt: Access is denied.");
    EXPECT_EQ(List1.items, Items{"a.com"});
    EXPECT_EQ(state.strAllowed.Text(), "a.com\r\n");
}

TEST_F(ListCommandsTest, UnrepresentableSiteIsRefusedOnStatusLine) {
    Load("a.com\r\n");
    Text1.SetText("\xE4\xBE\x8B.example");  // a CJK character
    AddSiteCommand(lists, SiteList::Allowed, Text1, status);
    EXPECT_NE(status.Panel(2).find("was not added"), std::string::npos);
    EXPECT_EQ(dir.Read("allowed.txt"), "a.com\r\n");
}

// The reported loss: allowed.txt held by another program (a backup tool, a virus scanner)
// while the program starts, then an Add: the box is empty, and rewriting the file from it
// would lose every entry. The Add reads the file again first; while it still cannot, the Add
// only appends and says why the file was not rewritten.
struct LockedCase {
    const char* name;
    bool readableAtAdd;
    const char* file;
    Items box;
    const char* said;
};

void PrintTo(const LockedCase& c, std::ostream* os) {
    *os << c.name;
}

class LockedAtStartTest : public ListCommandsTest,
                          public ::testing::WithParamInterface<LockedCase> {};

TEST_P(LockedAtStartTest, AddKeepsEveryLine) {
    dir.Write("allowed.txt", "a.com\r\nb.com\r\n");
    files.failRead = true;
    ASSERT_FALSE(lists.LoadAllowed().ok());
    files.failRead = !GetParam().readableAtAdd;
    Text1.SetText("c.com");
    AddSiteCommand(lists, SiteList::Allowed, Text1, status);
    EXPECT_EQ(dir.Read("allowed.txt"), GetParam().file);
    EXPECT_EQ(List1.items, GetParam().box);
    EXPECT_EQ(status.Panel(2), GetParam().said);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LockedAtStartTest,
    ::testing::Values(LockedCase{"ReadableAgain", true, "a.com\r\nb.com\r\nc.com\r\n\r\n",
                                 Items{"a.com", "b.com", "c.com"}, ""},
                      LockedCase{"StillHeld", false, "a.com\r\nb.com\r\nc.com\r\n", Items{"c.com"},
                                 "allowed.txt was not rewritten: it could not be read (Access is "
                                 "denied.), so the list shown lacks its entries. The file keeps "
                                 "every line."}),
    [](const auto& test) { return std::string(test.param.name); });

// A delete in a list read only now: its old selection went with its old items, and nothing the
// user did not choose among the file's entries is deleted.
TEST_F(ListCommandsTest, DeleteInAListReadOnlyNowDeletesNothing) {
    dir.Write("allowed.txt", "a.com\r\nb.com\r\n");
    files.failRead = true;
    ASSERT_FALSE(lists.LoadAllowed().ok());
    files.failRead = false;
    List1.items = {"b.com"};  // added while the file was held
    List1.selected = 0;
    DeleteSiteCommand(lists, SiteList::Allowed, status);
    EXPECT_EQ(List1.items, (Items{"a.com", "b.com"}));
    EXPECT_EQ(dir.Read("allowed.txt"), "a.com\r\nb.com\r\n");
}

}  // namespace
}  // namespace quell
