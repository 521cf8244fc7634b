#include "mainwindow/AddRemove.h"

#include <gtest/gtest.h>

#include "support/FakeRegistry.h"

namespace quell {
namespace {

using platform::RootKey;
using testing::FakeRegistry;

constexpr const char* kProduct = "QuellPane";
constexpr const char* kPath = "C:\\Tools\\App\\QuellPane.exe";
// The Run value is a command line: the path quoted.
constexpr const char* kRunData = "\"C:\\Tools\\App\\QuellPane.exe\"";
constexpr RootKey kMachine = RootKey::LocalMachine;
constexpr RootKey kUser = RootKey::CurrentUser;

class AddRemoveTest : public ::testing::Test {
  protected:
    std::optional<std::string> RunValue(RootKey root) {
        return registry.GetString(root, kRunKey, kProduct);
    }
    void RefuseRoot(RootKey root, platform::Error error) {
        registry.refusedRoots[root] = std::move(error);
    }

    FakeRegistry registry;
    AddRemove VarAddRemove{registry};
};

TEST_F(AddRemoveTest, RunValueGoesMachineWideWhenAllowed) {
    const PlacementResult result = VarAddRemove.AddToRun(kProduct, kPath);
    EXPECT_EQ(result.placement, Placement::AllUsers);
    EXPECT_EQ(RunValue(kMachine), kRunData);
    EXPECT_EQ(RunValue(kUser), std::nullopt);
    EXPECT_EQ(RunAtStartupEnabledText(result), "Run On Startup Enabled");
}

TEST_F(AddRemoveTest, RefusedMachineWideWriteFallsBackToCurrentUser) {
    RefuseRoot(kMachine, FakeRegistry::AccessDenied());
    const PlacementResult result = VarAddRemove.AddToRun(kProduct, kPath);
    EXPECT_EQ(result.placement, Placement::CurrentUserOnly);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(RunValue(kMachine), std::nullopt);
    EXPECT_EQ(RunValue(kUser), kRunData);
    EXPECT_EQ(RunAtStartupEnabledText(result), "Run On Startup Enabled for you only");
}

TEST_F(AddRemoveTest, OtherMachineWideFailureIsNamedInTheFallbackText) {
    RefuseRoot(kMachine,
               FakeRegistry::Refusal(1016, "An I/O operation initiated by the registry failed."));
    const PlacementResult result = VarAddRemove.AddToRun(kProduct, kPath);
    EXPECT_EQ(result.placement, Placement::CurrentUserOnly);
    EXPECT_EQ(RunAtStartupEnabledText(result),
              "Run On Startup Enabled for you only (for all users: An I/O operation "
              "initiated by the registry failed.)");
}

TEST_F(AddRemoveTest, FailureEverywhereIsReportedWithTheReason) {
    RefuseRoot(kMachine, FakeRegistry::AccessDenied());
    RefuseRoot(kUser, FakeRegistry::AccessDenied());
    const PlacementResult result = VarAddRemove.AddToRun(kProduct, kPath);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(RunAtStartupEnabledText(result),
              "Run On Startup could not be enabled: Access is denied.");
    EXPECT_EQ(RunValue(kMachine), std::nullopt);
    EXPECT_EQ(RunValue(kUser), std::nullopt);
}

// Ticking and clearing the box, with and without administrator rights, leaves no Run value.
TEST_F(AddRemoveTest, TickingThenClearingLeavesNoRunValue) {
    for (const bool denied : {false, true}) {
        SCOPED_TRACE(denied ? "without rights" : "with rights");
        if (denied) {
            RefuseRoot(kMachine, FakeRegistry::AccessDenied());
        }
        ASSERT_TRUE(VarAddRemove.AddToRun(kProduct, kPath).ok());
        const platform::Status removed = VarAddRemove.RemoveFromRun(kProduct);
        EXPECT_TRUE(removed.ok());
        EXPECT_EQ(RunAtStartupDisabledText(removed), "Run On Startup Disabled");
        EXPECT_EQ(RunValue(kMachine), std::nullopt);
        EXPECT_EQ(RunValue(kUser), std::nullopt);
    }
}

TEST_F(AddRemoveTest, RemovingAnAbsentValueIsNoError) {
    RefuseRoot(kMachine, FakeRegistry::AccessDenied());
    EXPECT_TRUE(VarAddRemove.RemoveFromRun(kProduct).ok());
}

// A machine-wide value the user may not delete still starts the program: say so, but remove
// the per-user copy all the same.
TEST_F(AddRemoveTest, MachineWideValueThatCannotBeRemovedIsReported) {
    ASSERT_TRUE(registry.SetString(kMachine, kRunKey, kProduct, kRunData).ok());
    ASSERT_TRUE(registry.SetString(kUser, kRunKey, kProduct, kRunData).ok());
    RefuseRoot(kMachine, FakeRegistry::AccessDenied());
    const platform::Status removed = VarAddRemove.RemoveFromRun(kProduct);
    EXPECT_FALSE(removed.ok());
    EXPECT_EQ(RunAtStartupDisabledText(removed),
              "Run On Startup could not be disabled: Access is denied.");
    EXPECT_EQ(RunValue(kUser), std::nullopt);
    EXPECT_EQ(RunValue(kMachine), kRunData);
}

// Either of these would start the program twice at logon.
TEST_F(AddRemoveTest, MachineWideSuccessRemovesAnEarlierPerUserCopy) {
    ASSERT_TRUE(registry.SetString(kUser, kRunKey, kProduct, "C:\\Old\\QuellPane.exe").ok());
    EXPECT_EQ(VarAddRemove.AddToRun(kProduct, kPath).placement, Placement::AllUsers);
    EXPECT_EQ(RunValue(kUser), std::nullopt);
    EXPECT_EQ(RunValue(kMachine), kRunData);
}

TEST_F(AddRemoveTest, MachineWideValueAlreadyRightNeedsNoRightsAndNoCopy) {
    ASSERT_TRUE(registry.SetString(kMachine, kRunKey, kProduct, kRunData).ok());
    RefuseRoot(kMachine, FakeRegistry::AccessDenied());
    const PlacementResult result = VarAddRemove.AddToRun(kProduct, kPath);
    EXPECT_EQ(result.placement, Placement::AllUsers);
    EXPECT_EQ(RunValue(kUser), std::nullopt);
}

// A moved program, and an earlier version's unquoted value, which Windows would split at a
// blank ("C:\Program Files\..." runs a C:\Program.exe first).
TEST_F(AddRemoveTest, RunValueThatDiffersIsRewrittenQuoted) {
    constexpr const char* kSpaced = "C:\\Program Files\\QuellPane\\QuellPane.exe";
    const struct {
        const char* earlier;
        const char* path;
        const char* written;
    } cases[] = {
        {"\"C:\\Old\\QuellPane.exe\"", kPath, kRunData},
        {kPath, kPath, kRunData},
        {kSpaced, kSpaced, "\"C:\\Program Files\\QuellPane\\QuellPane.exe\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.earlier);
        ASSERT_TRUE(registry.SetString(kMachine, kRunKey, kProduct, c.earlier).ok());
        ASSERT_TRUE(VarAddRemove.AddToRun(kProduct, c.path).ok());
        EXPECT_EQ(RunValue(kMachine), c.written);
    }
}

TEST_F(AddRemoveTest, EmptyProgramNameTouchesNothing) {
    EXPECT_FALSE(VarAddRemove.AddToRun("", kPath).ok());
    EXPECT_FALSE(VarAddRemove.RemoveFromRun("").ok());
    EXPECT_FALSE(VarAddRemove.AddToList("", "x").ok());
    EXPECT_FALSE(VarAddRemove.RemoveFromList("").ok());
    EXPECT_TRUE(registry.log.empty());
}

TEST_F(AddRemoveTest, InstalledProgramsEntry) {
    const std::string key = std::string(kUninstallKey) + kProduct;
    ASSERT_TRUE(VarAddRemove.AddToList(kProduct, "C:\\Tools\\App\\uninstall.exe /S").ok());
    EXPECT_EQ(registry.log, (std::vector<std::string>{
                                "SetString HKEY_LOCAL_MACHINE\\" + key + " [DisplayName]",
                                "SetString HKEY_LOCAL_MACHINE\\" + key + " [UninstallString]",
                            }));
    EXPECT_EQ(registry.GetString(kMachine, key, "DisplayName"), kProduct);
    EXPECT_EQ(registry.GetString(kMachine, key, "UninstallString"),
              "C:\\Tools\\App\\uninstall.exe /S");
    ASSERT_TRUE(VarAddRemove.RemoveFromList(kProduct).ok());
    EXPECT_FALSE(registry.HasKey(kMachine, key));
    EXPECT_TRUE(VarAddRemove.RemoveFromList(kProduct).ok());
}

TEST_F(AddRemoveTest, GetStringReadsOnlyStringValues) {
    ASSERT_TRUE(VarAddRemove.SaveString(kUser, "Software\\T", "empty", "").ok());
    registry.PutOther(kUser, "Software\\T", "expand", "%TEMP%");
    EXPECT_EQ(VarAddRemove.GetString(kUser, "Software\\T", "empty"), "");
    EXPECT_EQ(VarAddRemove.GetString(kUser, "Software\\T", "expand"), std::nullopt);
    EXPECT_EQ(VarAddRemove.GetString(kUser, "Software\\T", "missing"), std::nullopt);
    EXPECT_EQ(VarAddRemove.GetString(kUser, "Software\\Missing", "empty"), std::nullopt);
}

TEST_F(AddRemoveTest, KeyAndValueOperations) {
    ASSERT_TRUE(VarAddRemove.SaveKey(kUser, "Software\\T\\Sub").ok());
    EXPECT_TRUE(registry.HasKey(kUser, "Software\\T\\Sub"));
    ASSERT_TRUE(VarAddRemove.SaveString(kUser, "Software\\T", "v", "1").ok());
    ASSERT_TRUE(VarAddRemove.DeleteValue(kUser, "Software\\T", "v").ok());
    EXPECT_EQ(VarAddRemove.GetString(kUser, "Software\\T", "v"), std::nullopt);
    EXPECT_TRUE(VarAddRemove.DeleteValue(kUser, "Software\\T", "v").ok());
    ASSERT_TRUE(VarAddRemove.DeleteKey(kUser, "Software\\T\\Sub").ok());
    EXPECT_FALSE(registry.HasKey(kUser, "Software\\T\\Sub"));
}

}  // namespace
}  // namespace quell
