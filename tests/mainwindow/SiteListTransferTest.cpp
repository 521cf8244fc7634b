#include "mainwindow/SiteListTransfer.h"

#include <gtest/gtest.h>

#include "support/MainWindowFakes.h"

namespace quell {
namespace {

using testing::MainWindowFakes;

// One machine: the main window with its lists loaded from files in their ANSI bytes.
struct Machine : MainWindowFakes {
    Machine(const std::string& allowed, const std::string& disallowed) {
        window.FakeStatus("StatusBar1").AddPanel();
        window.FakeStatus("StatusBar1").AddPanel();
        dir.Write("allowed.txt", allowed);
        dir.Write("disallowed.txt", disallowed);
        EXPECT_TRUE(lists.LoadAllowed().ok());
        EXPECT_TRUE(lists.LoadDisallowed().ok());
        services.chosenFile = "lists.txt";
    }
    void Menu(int index) {
        form.OnEvent(window.EventOf(platform::EventKind::Click, "mnuFileItem", index));
    }
    std::string Status() { return Panel(2); }
};

TEST(SiteListTransferTest, ExportThenImportOnAFreshMachineGivesTheSameLists) {
    Machine old("a.example\r\nCaf\xE9.example\r\n", "bad.example\r\n\r\n");
    old.Menu(2);
    const std::string exported = old.services.files["lists.txt"];
    EXPECT_EQ(exported,
              "\xEF\xBB\xBF[allowed]\r\na.example\r\nCaf\xC3\xA9.example\r\n"
              "[disallowed]\r\nbad.example\r\n");
    EXPECT_EQ(old.Status(), "Site lists exported to lists.txt");

    Machine fresh("", "");
    fresh.services.files["lists.txt"] = exported;
    fresh.Menu(3);
    EXPECT_EQ(fresh.Status(), "Imported: 3 added, 0 already listed");
    // Written as the Add button writes: appended, then the file rewritten from the box.
    EXPECT_EQ(fresh.dir.Read("allowed.txt"), "a.example\r\nCaf\xE9.example\r\n\r\n");
    EXPECT_EQ(fresh.dir.Read("disallowed.txt"), "bad.example\r\n\r\n");
    EXPECT_EQ(fresh.window.FakeList("List1").items, old.window.FakeList("List1").items);
    EXPECT_TRUE(fresh.state.strAllowed.Contains("CAF\xC3\x89"));

    fresh.Menu(3);  // a second import adds nothing
    EXPECT_EQ(fresh.Status(), "Imported: 0 added, 3 already listed");
    EXPECT_EQ(fresh.dir.Read("allowed.txt"), "a.example\r\nCaf\xE9.example\r\n\r\n");
}

// A plain list, in any line ends and in Windows-1252 (a copied list file), goes to the list
// the user picks; duplicates in any case are skipped, and what the code page lacks is refused.
TEST(SiteListTransferTest, PlainFileGoesToThePickedListAndReportsWhatItCouldNotAdd) {
    Machine machine("Old.example\r\n", "");
    machine.services.importList = SiteList::Disallowed;
    machine.services.files["lists.txt"] = "OLD.example\nnew.example\r \r\rnew.EXAMPLE\r\n";
    machine.Menu(3);
    EXPECT_EQ(machine.Status(), "Imported: 2 added, 1 already listed");
    EXPECT_EQ(machine.dir.Read("disallowed.txt"), "OLD.example\r\nnew.example\r\n\r\n");

    machine.services.files["lists.txt"] = "\xEF\xBB\xBF\xE4\xB8\xAD.example\r\nok.example\r\n";
    machine.Menu(3);
    EXPECT_EQ(machine.Status(),
              "Imported: 1 added, 0 already listed, 1 refused (characters this system's code "
              "page cannot hold)");
    EXPECT_EQ(machine.dir.Read("disallowed.txt"),
              "OLD.example\r\nnew.example\r\nok.example\r\n\r\n");

    machine.services.importList.reset();  // the user cancels the choice
    machine.services.files["lists.txt"] = "Caf\xE9.example\r\n";
    machine.Menu(3);
    EXPECT_EQ(machine.window.FakeList("List2").items.size(), 3u);
    machine.services.importList = SiteList::Allowed;
    machine.Menu(3);
    EXPECT_EQ(machine.dir.Read("allowed.txt"), "Old.example\r\nCaf\xE9.example\r\n\r\n");
}

}  // namespace
}  // namespace quell
