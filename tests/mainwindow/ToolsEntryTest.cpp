#include <gtest/gtest.h>

#include "mainwindow/CRegister.h"
#include "mainwindow/modIETools.h"
#include "support/FakeRegistry.h"

namespace quell {
namespace {

using platform::RootKey;
using testing::FakeRegistry;

constexpr RootKey kMachine = RootKey::LocalMachine;
constexpr RootKey kUser = RootKey::CurrentUser;

struct NormalizeCase {
    const char* path;
    const char* normalized;
};

TEST(CRegisterTest, NormalizeKeyPathDropsOneSeparatorAtEachEnd) {
    const NormalizeCase cases[] = {
        {"\\Software\\X\\", "Software\\X"},
        {"Software\\X", "Software\\X"},
        {"\\\\Software\\X", "\\Software\\X"},
        {"Software\\X\\\\", "Software\\X\\"},
        {"\\", ""},
        {"\\\\", ""},
        {"", ""},
    };
    for (const NormalizeCase& c : cases) {
        EXPECT_EQ(CRegister::NormalizeKeyPath(c.path), c.normalized) << c.path;
    }
}

TEST(CRegisterTest, StarNamesTheDefaultValue) {
    FakeRegistry registry;
    ASSERT_TRUE(CRegister::SetRegString(registry, kUser, "\\Software\\X\\", "*", "d").ok());
    ASSERT_TRUE(CRegister::SetRegString(registry, kUser, "Software\\X", "Named", "n").ok());
    EXPECT_EQ(registry.GetString(kUser, "Software\\X", ""), "d");
    ASSERT_TRUE(CRegister::DeleteRegEntry(registry, kUser, "\\Software\\X", "*").ok());
    EXPECT_EQ(registry.GetString(kUser, "Software\\X", ""), std::nullopt);
    EXPECT_EQ(registry.GetString(kUser, "Software\\X", "Named"), "n");
}

TEST(CRegisterTest, EmptyValueNameDeletesTheKeyByItsPathAsGiven) {
    FakeRegistry registry;
    ASSERT_TRUE(registry.SetString(kUser, "Software\\X", "v", "1").ok());
    ASSERT_TRUE(CRegister::DeleteRegEntry(registry, kUser, "Software\\X", "").ok());
    EXPECT_FALSE(registry.HasKey(kUser, "Software\\X"));
    (void)CRegister::DeleteRegEntry(registry, kUser, "\\Software\\Y\\", "");
    EXPECT_EQ(registry.log.back(), "DeleteKey HKEY_CURRENT_USER\\\\Software\\Y\\");
}

TEST(CRegisterTest, WriteFailureIsReturned) {
    FakeRegistry registry;
    registry.refusedRoots[kMachine] = FakeRegistry::AccessDenied();
    const platform::Status written = CRegister::SetRegString(registry, kMachine, "S", "v", "1");
    ASSERT_FALSE(written.ok());
    EXPECT_EQ(written.error().code, platform::kAccessDenied);
}

class ToolsEntryTest : public ::testing::Test {
  protected:
    std::vector<std::string> ValueNames(RootKey root) const {
        std::vector<std::string> names;
        const std::string prefix =
            "SetString " + platform::FullKeyName(root, modIETools::kEntryKey);
        for (const std::string& line : registry.log) {
            if (line.rfind(prefix, 0) == 0) {
                names.push_back(line.substr(prefix.size() + 2, line.size() - prefix.size() - 3));
            }
        }
        return names;
    }
    // In the 64-bit view; HasEntryIn32 for the other.
    bool HasEntry(RootKey root) const { return registry.HasKey(root, modIETools::kEntryKey); }
    bool HasEntryIn32(RootKey root) const { return registry32.HasKey(root, modIETools::kEntryKey); }
    std::optional<std::string> Get(RootKey root, const char* name) {
        return registry.GetString(root, modIETools::kEntryKey, name);
    }

    FakeRegistry registry;  // the 64-bit view
    FakeRegistry registry32;
    const modIETools::EntryViews views{registry, registry32};
    // In a folder with a blank: every path as it is, "Exec" too (see EntryValues).
    const modIETools::ProgramLocation program{"QuellPane", "C:\\Program Files\\App",
                                              "C:\\Program Files\\App\\QuellPane.exe"};
    const std::vector<std::string> kOrder{"ButtonText", "CLSID", "Default Visible", "Exec",
                                          "HotIcon",    "Icon",  "MenuStatusBar",   "MenuText"};
};

TEST_F(ToolsEntryTest, AddWritesTheEightValuesInOrder) {
    const PlacementResult result = modIETools::AddToolsEntry(views, program);
    EXPECT_EQ(result.placement, Placement::AllUsers);
    EXPECT_EQ(ValueNames(kMachine), kOrder);
    EXPECT_EQ(registry.KeyValues(kMachine, modIETools::kEntryKey)->size(), 8u);
    EXPECT_EQ(Get(kMachine, "ButtonText"), "QuellPane");
    EXPECT_EQ(Get(kMachine, "CLSID"), "{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}");
    EXPECT_EQ(Get(kMachine, "Default Visible"), "Yes");
    EXPECT_EQ(Get(kMachine, "Exec"), "C:\\Program Files\\App\\QuellPane.exe");
    EXPECT_EQ(Get(kMachine, "HotIcon"), "C:\\Program Files\\App\\hoticon.ico");
    EXPECT_EQ(Get(kMachine, "Icon"), "C:\\Program Files\\App\\icon.ico");
    EXPECT_EQ(Get(kMachine, "MenuStatusBar"), "QuellPane");
    EXPECT_EQ(Get(kMachine, "MenuText"), "&QuellPane");
    EXPECT_EQ(*registry32.KeyValues(kMachine, modIETools::kEntryKey),
              *registry.KeyValues(kMachine, modIETools::kEntryKey))
        << "the 32-bit browser frame reads the same entry";
    EXPECT_FALSE(HasEntry(kUser));
    EXPECT_FALSE(HasEntryIn32(kUser));
    EXPECT_EQ(modIETools::ToolsEntryAddedText(result), "Added to the browser's Tools menu.");
}

TEST_F(ToolsEntryTest, AddingAgainRepairsAMovedProgram) {
    ASSERT_TRUE(modIETools::AddToolsEntry(views, {"QuellPane", "D:\\Old", "D:\\Old\\Q.exe"}).ok());
    ASSERT_TRUE(modIETools::AddToolsEntry(views, program).ok());
    EXPECT_EQ(Get(kMachine, "Exec"), "C:\\Program Files\\App\\QuellPane.exe");
    EXPECT_EQ(Get(kMachine, "Icon"), "C:\\Program Files\\App\\icon.ico");
}

TEST_F(ToolsEntryTest, RefusedMachineWideWriteAddsTheEntryForTheUser) {
    registry.refusedRoots[kMachine] = FakeRegistry::AccessDenied();
    const PlacementResult result = modIETools::AddToolsEntry(views, program);
    EXPECT_EQ(result.placement, Placement::CurrentUserOnly);
    EXPECT_FALSE(HasEntry(kMachine));
    EXPECT_EQ(ValueNames(kUser), kOrder);
    EXPECT_EQ(Get(kUser, "MenuText"), "&QuellPane");
    EXPECT_EQ(modIETools::ToolsEntryAddedText(result), "Added to the Tools menu for you only");
}

// A failure half-way through leaves no half-defined button behind.
TEST_F(ToolsEntryTest, HalfWrittenMachineWideEntryIsRemoved) {
    registry.refuse = [](RootKey root, const std::string&,
                         const std::string& name) -> std::optional<platform::Error> {
        if (root != kMachine || name != "Icon") {
            return std::nullopt;
        }
        return FakeRegistry::Refusal(1016, "An I/O operation initiated by the registry failed.");
    };
    const PlacementResult result = modIETools::AddToolsEntry(views, program);
    EXPECT_EQ(result.placement, Placement::CurrentUserOnly);
    EXPECT_FALSE(HasEntry(kMachine));
    EXPECT_EQ(registry.KeyValues(kUser, modIETools::kEntryKey)->size(), 8u);
    EXPECT_EQ(modIETools::ToolsEntryAddedText(result),
              "Added to the Tools menu for you only (for all users: An I/O "
              "operation initiated by the registry failed.)");
}

// One view refused: neither keeps a machine-wide entry, and both get the user's.
TEST_F(ToolsEntryTest, RefusedMachineWide32BitViewLeavesNoMachineWideEntryInEither) {
    registry32.refusedRoots[kMachine] = FakeRegistry::AccessDenied();
    const PlacementResult result = modIETools::AddToolsEntry(views, program);
    EXPECT_EQ(result.placement, Placement::CurrentUserOnly);
    EXPECT_FALSE(HasEntry(kMachine));
    EXPECT_FALSE(HasEntryIn32(kMachine));
    EXPECT_EQ(registry.KeyValues(kUser, modIETools::kEntryKey)->size(), 8u);
    EXPECT_EQ(registry32.KeyValues(kUser, modIETools::kEntryKey)->size(), 8u);
}

TEST_F(ToolsEntryTest, FailureEverywhereIsReported) {
    registry.refusedRoots[kMachine] = FakeRegistry::AccessDenied();
    registry.refusedRoots[kUser] = FakeRegistry::AccessDenied();
    const PlacementResult result = modIETools::AddToolsEntry(views, program);
    EXPECT_FALSE(result.ok());
    EXPECT_FALSE(HasEntry(kMachine));
    EXPECT_FALSE(HasEntry(kUser));
    EXPECT_EQ(modIETools::ToolsEntryAddedText(result),
              "Could not add to the browser's Tools menu: Access is denied.");
}

TEST_F(ToolsEntryTest, MachineWideEntryAlreadyRightNeedsNoRightsAndNoCopy) {
    ASSERT_TRUE(modIETools::AddToolsEntry(views, program).ok());
    registry.refusedRoots[kMachine] = FakeRegistry::AccessDenied();
    EXPECT_EQ(modIETools::AddToolsEntry(views, program).placement, Placement::AllUsers);
    EXPECT_FALSE(HasEntry(kUser));
}

TEST_F(ToolsEntryTest, MachineWideSuccessRemovesAnEarlierPerUserCopy) {
    registry.refusedRoots[kMachine] = FakeRegistry::AccessDenied();
    ASSERT_EQ(modIETools::AddToolsEntry(views, program).placement, Placement::CurrentUserOnly);
    registry.refusedRoots.clear();
    EXPECT_EQ(modIETools::AddToolsEntry(views, program).placement, Placement::AllUsers);
    EXPECT_FALSE(HasEntry(kUser));
    EXPECT_TRUE(HasEntry(kMachine));
}

TEST_F(ToolsEntryTest, RemoveDeletesFromBothPlacesAndTwiceIsNoError) {
    for (FakeRegistry* view : {&registry, &registry32}) {
        ASSERT_TRUE(view->SetString(kMachine, modIETools::kEntryKey, "Exec", "x").ok());
        ASSERT_TRUE(view->SetString(kUser, modIETools::kEntryKey, "Exec", "x").ok());
    }
    for (int time = 0; time < 2; ++time) {
        const platform::Status removed = modIETools::RemoveToolsEntry(views);
        EXPECT_TRUE(removed.ok());
        EXPECT_EQ(modIETools::ToolsEntryRemovedText(removed),
                  "Removed from the browser's Tools menu.");
        EXPECT_FALSE(HasEntry(kMachine));
        EXPECT_FALSE(HasEntry(kUser));
        EXPECT_FALSE(HasEntryIn32(kMachine));
        EXPECT_FALSE(HasEntryIn32(kUser));
    }
}

TEST_F(ToolsEntryTest, MachineWideEntryThatCannotBeRemovedIsReported) {
    ASSERT_TRUE(modIETools::AddToolsEntry(views, program).ok());
    registry.refusedRoots[kMachine] = FakeRegistry::AccessDenied();
    const platform::Status removed = modIETools::RemoveToolsEntry(views);
    EXPECT_FALSE(removed.ok());
    EXPECT_TRUE(HasEntry(kMachine));
    EXPECT_EQ(modIETools::ToolsEntryRemovedText(removed),
              "Could not remove from the browser's Tools menu: Access is denied.");
}

}  // namespace
}  // namespace quell
