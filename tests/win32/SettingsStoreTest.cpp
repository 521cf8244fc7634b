#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/Win32SettingsStore.h"
#include "win32/RegistryScratch.h"

namespace platform::win32 {
namespace {

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
    // What `reg query` shows: the raw type and text of the value.
    std::wstring QueryValue(const wchar_t* name, DWORD& type) {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_QUERY_VALUE, &key) !=
            ERROR_SUCCESS) {
            return L"<no key>";
        }
        const UniqueRegKey owned(key);
        wchar_t data[512] = {};
        DWORD bytes = sizeof(data) - sizeof(wchar_t);
        if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes) !=
            ERROR_SUCCESS) {
            return L"<absent>";
        }
        return data;
    }

    std::string app;
    std::wstring keyPath;
    Win32SettingsStore store;
};

TEST_F(Win32SettingsStoreTest, SavesWhereTheClassicSettingFunctionsKeepThem) {
    ASSERT_TRUE(store.SaveSetting(app, "Settings", "chkSound", "1").ok());
    DWORD type = 0;
    EXPECT_EQ(QueryValue(L"chkSound", type), L"1");
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
    EXPECT_EQ(QueryValue(L"strAllowed", type), L"a.example\r\ncaf\u00e9.example\r\n");
}

TEST_F(Win32SettingsStoreTest, AbsentOrForeignValuesReadAsAbsent) {
    EXPECT_EQ(store.GetSetting(app, "Settings", "state"), std::nullopt);  // no key at all
    ASSERT_TRUE(store.SaveSetting(app, "Settings", "state", "").ok());
    EXPECT_EQ(store.GetSetting(app, "Settings", "state"), "");
    EXPECT_EQ(store.GetSetting(app, "Settings", "showHelp"), std::nullopt);
    EXPECT_EQ(store.GetSetting(app, "Other", "state"), std::nullopt);

    const DWORD number = 1;
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    const UniqueRegKey owned(key);
    ASSERT_EQ(::RegSetValueExW(key, L"chkOnTop", 0, REG_DWORD,
                               reinterpret_cast<const BYTE*>(&number), sizeof(number)),
              ERROR_SUCCESS);
    EXPECT_EQ(store.GetSetting(app, "Settings", "chkOnTop"), std::nullopt);
}

}  // namespace
}  // namespace platform::win32
