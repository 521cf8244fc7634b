#include "store/Settings.h"

#include <gtest/gtest.h>

#include "support/FakeSettingsStore.h"

namespace quell {
namespace {

using testing::FakeSettingsStore;

class SettingsTest : public ::testing::Test {
  protected:
    FakeSettingsStore store;
    Settings settings{store, "QuellPane", "quellpane.example"};
};

TEST_F(SettingsTest, AbsentKeysReadAsTheirDefaults) {
    EXPECT_EQ(settings.GetCheckBox(keys::kChkStopPop), 1);
    EXPECT_EQ(settings.GetCheckBox(keys::kChkAuto), 1);
    EXPECT_EQ(settings.GetCheckBox(keys::kChkOnTop), 0);
    EXPECT_EQ(settings.GetCheckBox(keys::kChkRunAtStart), 0);
    EXPECT_EQ(settings.GetCheckBox(keys::kChkSound), 1);
    EXPECT_EQ(settings.GetCheckBox(keys::kChkLinks), 0);
    EXPECT_EQ(settings.GetCounter(), 0);
    EXPECT_EQ(settings.GetString(keys::kStrAllowed), "quellpane.example/programclicks.asp\r\n");
    EXPECT_EQ(settings.GetString(keys::kStrDisallowed), "");
    EXPECT_EQ(settings.GetString(keys::kState), "up");
    EXPECT_EQ(settings.GetString(keys::kShowHelp), "1");
}

struct StoredCase {
    const char* stored;
    int checkBox;        // as "chkOnTop" (default 0)
    std::int32_t count;  // as "intStopped" (default 0)
};

void PrintTo(const StoredCase& c, std::ostream* os) {
    *os << '"' << c.stored << '"';
}

class StoredValueTest : public SettingsTest, public ::testing::WithParamInterface<StoredCase> {};

// Hand-edited values that cannot be converted read as the key's default, never a crash.
TEST_P(StoredValueTest, ConvertsOrFallsBackToDefault) {
    store.Put("chkOnTop", GetParam().stored);
    store.Put("intStopped", GetParam().stored);
    EXPECT_EQ(settings.GetCheckBox(keys::kChkOnTop), GetParam().checkBox);
    EXPECT_EQ(settings.GetCounter(), GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(Values, StoredValueTest,
                         ::testing::Values(StoredCase{"1", 1, 1}, StoredCase{"0", 0, 0},
                                           StoredCase{" 1 ", 1, 1}, StoredCase{"41", 0, 41},
                                           StoredCase{"-7", 0, -7}, StoredCase{"yes", 0, 0},
                                           StoredCase{"", 0, 0}, StoredCase{"1.5", 0, 0},
                                           StoredCase{"2147483647", 0, 2147483647},
                                           StoredCase{"-2147483648", 0, -2147483647 - 1},
                                           StoredCase{"2147483648", 0, 0},
                                           StoredCase{"99999999999999999999", 0, 0}));

TEST_F(SettingsTest, BadCheckBoxValueOfADefaultOnKeyReadsAsOn) {
    store.Put("chkSound", "loud");
    EXPECT_EQ(settings.GetCheckBox(keys::kChkSound), 1);
}

TEST_F(SettingsTest, SavesUnderProductNameAndSettingsSection) {
    ASSERT_TRUE(settings.SaveNumber(keys::kIntStopped, -3).ok());
    ASSERT_TRUE(settings.Save(keys::kStrAllowed, "a.com\r\nb.org\r\n").ok());
    EXPECT_EQ(store.Value("intStopped"), "-3");
    EXPECT_EQ(store.Value("strAllowed"), "a.com\r\nb.org\r\n");
    EXPECT_EQ(settings.GetString(keys::kStrAllowed), "a.com\r\nb.org\r\n");
}

}  // namespace
}  // namespace quell
