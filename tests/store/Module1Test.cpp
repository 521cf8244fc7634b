#include "store/Module1.h"

#include <gtest/gtest.h>

#include "support/SiteListFakes.h"

namespace quell {
namespace {

using testing::FakeListBox;
using testing::SiteListFakes;
using Items = std::vector<std::string>;

class Module1Test : public ::testing::Test, public SiteListFakes {};

TEST_F(Module1Test, NewAllowedFileThenAddFromMainWindow) {
    ASSERT_TRUE(lists.CreateListFile(SiteList::Allowed, "publisher.example").ok());
    ASSERT_TRUE(lists.LoadAllowed().ok());
    ASSERT_TRUE(lists.AddAllowed("a.com").ok());
    ASSERT_TRUE(lists.SaveAllowed().ok());
    EXPECT_EQ(dir.Read("allowed.txt"), "publisher.example\r\na.com\r\n\r\n");
    EXPECT_EQ(state.strAllowed.Text(), "publisher.example\r\na.com\r\n");
    EXPECT_EQ(List1.items, (Items{"publisher.example", "a.com"}));
}

TEST_F(Module1Test, BlockAlwaysOnNewDisallowedFileAppendsAfterEmptyLine) {
    ASSERT_TRUE(lists.CreateListFile(SiteList::Disallowed, "").ok());
    ASSERT_TRUE(lists.LoadDisallowed().ok());
    EXPECT_EQ(state.strDisallowed.Text(), "");
    ASSERT_TRUE(lists.AddDisallowed("b.org").ok());
    EXPECT_EQ(dir.Read("disallowed.txt"), "\r\nb.org\r\n");

    FakeListBox reloaded;
    BlockerState fresh;
    Module1 next{fresh, List1, reloaded, files, dir.path()};
    ASSERT_TRUE(next.LoadDisallowed().ok());
    EXPECT_EQ(reloaded.items, Items{"b.org"});
    EXPECT_EQ(fresh.strDisallowed.Text(), "b.org\r\n");
}

TEST_F(Module1Test, LoadSkipsBlankAndOneSpaceLinesButKeepsOtherBlanks) {
    dir.Write("allowed.txt", "\r\n \r\n  \r\n lead.com\r\nlf\nin.com\rlast.com");
    state.strAllowed = std::string("from-settings\r\n");
    ASSERT_TRUE(lists.LoadAllowed().ok());
    EXPECT_EQ(List1.items, (Items{"  ", " lead.com", "lf\nin.com", "last.com"}));
    EXPECT_EQ(state.strAllowed.Text(), "  \r\n lead.com\r\nlf\nin.com\r\nlast.com\r\n");
    EXPECT_EQ(dir.Read("allowed.txt"), "\r\n \r\n  \r\n lead.com\r\nlf\nin.com\rlast.com");
}

TEST_F(Module1Test, DuplicateAddsSecondEntryEverywhere) {
    ASSERT_TRUE(lists.AddAllowed("a.com").ok());
    ASSERT_TRUE(lists.AddAllowed("a.com").ok());
    EXPECT_EQ(dir.Read("allowed.txt"), "a.com\r\na.com\r\n");
    EXPECT_EQ(List1.items, (Items{"a.com", "a.com"}));
    EXPECT_EQ(state.strAllowed.Text(), "a.com\r\na.com\r\n");
}

TEST_F(Module1Test, AppendToFileWithoutFinalTerminatorJoinsLineInFileOnly) {
    dir.Write("allowed.txt", "a.com");
    ASSERT_TRUE(lists.LoadAllowed().ok());
    ASSERT_TRUE(lists.AddAllowed("b.org").ok());
    EXPECT_EQ(dir.Read("allowed.txt"), "a.comb.org\r\n");
    EXPECT_EQ(List1.items, (Items{"a.com", "b.org"}));
    ASSERT_TRUE(lists.SaveAllowed().ok());  // the next full rewrite repairs the file
    EXPECT_EQ(dir.Read("allowed.txt"), "a.com\r\nb.org\r\n\r\n");
}

TEST_F(Module1Test, RemoveDropsEveryLineHoldingTheSiteInAnyCase) {
    dir.Write("allowed.txt", "abc.com\r\nads.abc.com\r\nother.org\r\n\r\nABC.COM.au\r\n");
    ASSERT_TRUE(lists.LoadAllowed().ok());
    ASSERT_TRUE(lists.RemoveAllowed("abc.com").ok());
    EXPECT_EQ(dir.Read("allowed.txt"), "other.org\r\n\r\n\r\n");
    EXPECT_EQ(state.strAllowed.Text(), "other.org\r\n\r\n");
}

// An item that shows as empty (the prompt's text cleared before "Allow Always") is in every
// line as a substring; deleting it must not take the whole file with it.
TEST_F(Module1Test, RemovingAnEmptySiteKeepsEveryLine) {
    dir.Write("allowed.txt", "a.com\r\n\r\nb.com\r\n");
    ASSERT_TRUE(lists.LoadAllowed().ok());
    ASSERT_TRUE(lists.RemoveAllowed("").ok());
    EXPECT_EQ(dir.Read("allowed.txt"), "a.com\r\n\r\nb.com\r\n\r\n");
    EXPECT_EQ(state.strAllowed.Text(), "a.com\r\n\r\nb.com\r\n");
}

TEST_F(Module1Test, SaveWritesListBoxAndLeavesTextAlone) {
    dir.Write("disallowed.txt", "x.com\r\n");
    ASSERT_TRUE(lists.LoadDisallowed().ok());
    List2.items.push_back("  ");
    state.strDisallowed = std::string("untouched\r\n");
    ASSERT_TRUE(lists.SaveDisallowed().ok());
    EXPECT_EQ(dir.Read("disallowed.txt"), "x.com\r\n  \r\n\r\n");
    EXPECT_EQ(state.strDisallowed.Text(), "untouched\r\n");
}

// LB_ERRSPACE: a box that refused an entry lacks it, like a box that was never filled.
TEST_F(Module1Test, BoxWithoutRoomIsNeverRewrittenFrom) {
    dir.Write("allowed.txt", "a.com\r\nb.com\r\nc.com\r\n");
    List1.room = 2;
    const platform::Status loaded = lists.LoadAllowed();
    ASSERT_FALSE(loaded.ok());
    EXPECT_EQ(loaded.error().message,
              "The list shows 2 of the 3 entries of allowed.txt: the list box has no room for "
              "more entries. The file keeps them all and is not rewritten from the list.");
    EXPECT_TRUE(state.strAllowed.Contains("c.com"));  // decided from the whole file

    const platform::Status added = lists.AddAllowed("d.com");
    ASSERT_FALSE(added.ok());
    EXPECT_EQ(added.error().message,
              "\"d.com\" was added to allowed.txt, but the list box has no room for more "
              "entries.");
    EXPECT_TRUE(state.strAllowed.Contains("d.com"));
    EXPECT_FALSE(lists.SaveAllowed().ok());
    EXPECT_FALSE(lists.RemoveAllowed("a.com").ok());
    lists.SetTextFromListBox(SiteList::Allowed);
    EXPECT_TRUE(state.strAllowed.Contains("d.com"));
    EXPECT_EQ(dir.Read("allowed.txt"), "a.com\r\nb.com\r\nc.com\r\nd.com\r\n");
}

// Hidden and system files escape the directory search that tells start-up a list is missing.
TEST_F(Module1Test, CreatingAListFileThatIsThereLeavesItAlone) {
    dir.Write("allowed.txt", "mine.example\r\n");
    ASSERT_TRUE(lists.CreateListFile(SiteList::Allowed, "publisher.example").ok());
    EXPECT_EQ(dir.Read("allowed.txt"), "mine.example\r\n");
}

TEST_F(Module1Test, LatinLettersGoToFileInAnsiCodePage) {
    ASSERT_TRUE(lists.AddAllowed("caf\xC3\xA9.example").ok());
    EXPECT_EQ(dir.Read("allowed.txt"), "caf\xE9.example\r\n");
    EXPECT_TRUE(state.strAllowed.Contains("CAF\xC3\x89.EXAMPLE"));
}

TEST_F(Module1Test, SiteTheCodePageCannotHoldIsRefusedWithoutChange) {
    const platform::Status status = lists.AddAllowed("\xD0\xBF\xD1\x80.example");
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().message,
              "\"\xD0\xBF\xD1\x80.example\" was not added: allowed.txt can only hold characters "
              "of the system code page 1252, and \"\xD0\xBF\" is not one of them.");
    EXPECT_FALSE(dir.Has("allowed.txt"));
    EXPECT_TRUE(List1.items.empty());
    EXPECT_EQ(state.strAllowed.Text(), "");
}

TEST_F(Module1Test, FailuresNameTheFileAndReason) {
    const platform::Status missing = lists.LoadDisallowed();
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().message.rfind("Could not read disallowed.txt: ", 0), 0u)
        << missing.error().message;

    files.failAppend = true;
    const platform::Status full = lists.AddAllowed("a.com");
    ASSERT_FALSE(full.ok());
    EXPECT_EQ(full.error().message,
              "Could not add to allowed.txt: There is not enough space on the disk.");
    EXPECT_TRUE(List1.items.empty());  // nothing after the failing step
}

TEST_F(Module1Test, FailedRewriteAfterRemoveLeavesTextAsItWas) {
    dir.Write("allowed.txt", "a.com\r\nb.com\r\n");
    ASSERT_TRUE(lists.LoadAllowed().ok());
    files.failReplace = true;
    const platform::Status status = lists.RemoveAllowed("a.com");
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().message,
              "Could not save allowed.txt: There is not enough space on the disk.");
    EXPECT_EQ(state.strAllowed.Text(), "a.com\r\nb.com\r\n");
    EXPECT_EQ(dir.Read("allowed.txt"), "a.com\r\nb.com\r\n");
}

}  // namespace
}  // namespace quell
