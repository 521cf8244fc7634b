#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/Win32SettingsStore.h"
#include "win32/RegistryScratch.h"

namespace platform::win32 {
namespace {

using quell::testing::PutRawValue;
using quell::testing::ReadRawValue;

class Win32SettingsStoreTest : public ::testing::Test {
  protected:
    Win32SettingsStoreTest() {
        app = "QuellPaneTest-" + std::to_string(::GetCurrentProcessId());
        keyPath = L"Software\\VB and VBA Program Settings\\" +
                  std::wstring(app.begin(), app.end()) + L"\\Settings";
    }
    ~Win32SettingsStoreTest() override {
        const std::wstring appKey = keyPath.substr(0, keyPath.rfind(L'\\'));
        ::RegDeleteTreeW(HKEY_CURRENT_USER, appKey.c_str());
    }
    std::string app;
    std::wstring keyPath;
    Win32SettingsStore store;
};

TEST_F(Win32SettingsStoreTest, SavesWhereTheClassicSettingFunctionsKeepThem) {
    ASSERT_TRUE(store.SaveSetting(app, "Settings", "chkSound", "1").ok());
    DWORD type = 0;
    EXPECT_EQ(ReadRawValue(keyPath, L"chkSound", type), L"1");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(store.GetSetting(app, "Settings", "chkSound"), "1");
    ASSERT_TRUE(store.SaveSetting(app, "Settings", "chkSound", "0").ok());
    EXPECT_EQ(store.GetSetting(app, "Settings", "chkSound"), "0");
}

TEST_F(Win32SettingsStoreTest, ListTextKeepsItsLineEnds) {
    const std::string list = "a.example\r\ncaf\xC3\xA9.example\r\n";
    ASSERT_TRUE(store.SaveSetting(app, "Settings", "strAllowed", list).ok());
    EXPECT_EQ(store.GetSetting(app, "Settings", "strAllowed"), list);
    DWORD type = 0;
    EXPECT_EQ(ReadRawValue(keyPath, L"strAllowed", type), L"a.example\r\ncaf\u00e9.example\r\n");
}

TEST_F(Win32SettingsStoreTest, AbsentOrForeignValuesReadAsAbsent) {
    EXPECT_EQ(store.GetSetting(app, "Settings", "state"), std::nullopt);  // no key at all
    ASSERT_TRUE(store.SaveSetting(app, "Settings", "state", "").ok());
    EXPECT_EQ(store.GetSetting(app, "Settings", "state"), "");
    EXPECT_EQ(store.GetSetting(app, "Settings", "showHelp"), std::nullopt);
    EXPECT_EQ(store.GetSetting(app, "Other", "state"), std::nullopt);

    const DWORD number = 1;
    ASSERT_NO_FATAL_FAILURE(PutRawValue(keyPath, L"chkOnTop", REG_DWORD, &number, sizeof(number)));
    EXPECT_EQ(store.GetSetting(app, "Settings", "chkOnTop"), std::nullopt);
}

}  // namespace
}  // namespace platform::win32
