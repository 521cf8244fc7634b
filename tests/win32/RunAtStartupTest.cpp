// The run-at-startup value and the browser's Tools-menu entry in the real registry, with and
// without the rights to write machine-wide.
#include <windows.h>

#include <gtest/gtest.h>

#include "mainwindow/AddRemove.h"
#include "mainwindow/modIETools.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/Win32Registry.h"
#include "win32/RegistryScratch.h"

namespace platform::win32 {
namespace {

using quell::Placement;
using quell::PlacementResult;
using quell::testing::DenyRights;
namespace modIETools = quell::modIETools;

// The value names of a key in the order the system lists them; nothing when the key is absent.
// `view`: KEY_WOW64_32KEY or KEY_WOW64_64KEY, or 0 for this program's own.
std::optional<std::vector<std::string>> ValueNames(HKEY root, const std::string& path,
                                                   REGSAM view = 0) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, Widen(path).c_str(), 0, KEY_QUERY_VALUE | view, &key) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    const UniqueRegKey owned(key);
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        if (::RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            return names;
        }
        names.push_back(Narrow(std::wstring_view(name, length)));
    }
}

const std::vector<std::string> kNone;

class RunAtStartupTest : public ::testing::Test {
  protected:
    ~RunAtStartupTest() override {
        (void)VarAddRemove.RemoveFromRun(product);
        (void)modIETools::RemoveToolsEntry(views);
    }
    std::optional<std::string> RunValue(RootKey root) {
        return registry.GetString(root, quell::kRunKey, product);
    }

    const std::string product = "QuellPaneTest-" + std::to_string(::GetCurrentProcessId());
    const std::string exe = "C:\\Tools\\App\\QuellPane.exe";
    const std::string runData = "\"" + exe + "\"";  // a command line: the path quoted
    Win32Registry registry;
    Win32Registry registry64{RegistryView::Bits64};
    Win32Registry registry32{RegistryView::Bits32};
    const modIETools::EntryViews views{registry64, registry32};
    quell::AddRemove VarAddRemove{registry};
    const modIETools::ProgramLocation program{product, "C:\\Tools\\App", exe};
};

TEST_F(RunAtStartupTest, MachineWideWhereAllowed) {
    const PlacementResult added = VarAddRemove.AddToRun(product, exe);
    EXPECT_EQ(added.placement, Placement::AllUsers);
    EXPECT_EQ(quell::RunAtStartupEnabledText(added), "Run On Startup Enabled");
    EXPECT_EQ(RunValue(RootKey::LocalMachine), runData);
    EXPECT_EQ(RunValue(RootKey::CurrentUser), std::nullopt);
    ASSERT_TRUE(VarAddRemove.RemoveFromRun(product).ok());
    EXPECT_EQ(RunValue(RootKey::LocalMachine), std::nullopt);
}

TEST_F(RunAtStartupTest, CurrentUserWhereTheMachineWideKeyIsRefused) {
    const DenyRights deny(HKEY_LOCAL_MACHINE, Widen(quell::kRunKey), KEY_SET_VALUE);
    ASSERT_TRUE(deny.applied());
    const PlacementResult added = VarAddRemove.AddToRun(product, exe);
    EXPECT_EQ(added.placement, Placement::CurrentUserOnly);
    EXPECT_TRUE(IsAccessDenied(added.error));
    EXPECT_EQ(quell::RunAtStartupEnabledText(added), "Run On Startup Enabled for you only");
    EXPECT_EQ(RunValue(RootKey::LocalMachine), std::nullopt);
    EXPECT_EQ(RunValue(RootKey::CurrentUser), runData);

    const Status removed = VarAddRemove.RemoveFromRun(product);
    EXPECT_TRUE(removed.ok());
    EXPECT_EQ(quell::RunAtStartupDisabledText(removed), "Run On Startup Disabled");
    EXPECT_EQ(RunValue(RootKey::CurrentUser), std::nullopt);
}

// Wine's 64-bit prefix keeps the two trees apart under HKEY_LOCAL_MACHINE\Software, as Windows
// does: the 32-bit one is Software\Wow6432Node.
TEST_F(RunAtStartupTest, ToolsEntryHoldsTheEightValuesInOrderInBothViews) {
    const PlacementResult added = modIETools::AddToolsEntry(views, program);
    EXPECT_EQ(added.placement, Placement::AllUsers);
    const std::vector<std::string> eight{"ButtonText", "CLSID", "Default Visible", "Exec",
                                         "HotIcon",    "Icon",  "MenuStatusBar",   "MenuText"};
    const std::string wow6432 =
        "Software\\Wow6432Node" + std::string(modIETools::kEntryKey).substr(8);
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        SCOPED_TRACE(view == KEY_WOW64_32KEY ? "32-bit view" : "64-bit view");
        EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, modIETools::kEntryKey, view), eight);
        EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, modIETools::kEntryKey, view), std::nullopt);
    }
    EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, wow6432), eight) << "the 32-bit view is its own tree";
    EXPECT_EQ(registry32.GetString(RootKey::LocalMachine, modIETools::kEntryKey, "MenuText"),
              "&" + product);

    ASSERT_TRUE(modIETools::RemoveToolsEntry(views).ok());
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, modIETools::kEntryKey, view), std::nullopt);
    }
    EXPECT_TRUE(modIETools::RemoveToolsEntry(views).ok());
}

TEST_F(RunAtStartupTest, ToolsEntryForTheUserWhereTheMachineWideKeyIsRefused) {
    // Wine lets a subkey be created whatever the parent's access list says, so the entry key
    // itself refuses the values.
    ASSERT_TRUE(registry64.CreateKey(RootKey::LocalMachine, modIETools::kEntryKey).ok());
    const DenyRights deny(HKEY_LOCAL_MACHINE, Widen(modIETools::kEntryKey), KEY_SET_VALUE);
    ASSERT_TRUE(deny.applied());

    const PlacementResult added = modIETools::AddToolsEntry(views, program);
    EXPECT_EQ(added.placement, Placement::CurrentUserOnly);
    EXPECT_TRUE(IsAccessDenied(added.error));
    EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, modIETools::kEntryKey), std::nullopt);
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, modIETools::kEntryKey).value_or(kNone).size(), 8u);
    EXPECT_EQ(registry.GetString(RootKey::CurrentUser, modIETools::kEntryKey, "Exec"), exe);

    ASSERT_TRUE(modIETools::RemoveToolsEntry(views).ok());
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, modIETools::kEntryKey), std::nullopt);
}

}  // namespace
}  // namespace platform::win32
