#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/ErrorText.h"
#include "platform/win32/Win32Registry.h"
#include "win32/RegistryScratch.h"

namespace platform::win32 {
namespace {

using quell::testing::DenyRights;
using quell::testing::PutRawValue;
using quell::testing::ReadRawValue;
using quell::testing::ScratchKey;

constexpr RootKey kUser = RootKey::CurrentUser;

class Win32RegistryTest : public ::testing::Test {
  protected:
    std::string Sub(const std::string& rest) const { return scratch.path() + "\\" + rest; }
    ScratchKey scratch{"registry"};
    Win32Registry registry;
};

TEST(RootHandleTest, MapsToThePredefinedKeys) {
    EXPECT_EQ(RootHandle(RootKey::ClassesRoot), HKEY_CLASSES_ROOT);
    EXPECT_EQ(RootHandle(RootKey::CurrentUser), HKEY_CURRENT_USER);
    EXPECT_EQ(RootHandle(RootKey::LocalMachine), HKEY_LOCAL_MACHINE);
}

TEST_F(Win32RegistryTest, WritesRegSzThatTheSystemReadsBack) {
    const std::string text = "caf\xC3\xA9 \xE2\x82\xAC \xD0\x94\r\nsecond line\r\n";
    ASSERT_TRUE(registry.SetString(kUser, Sub("a\\b"), "Name", text).ok());
    EXPECT_EQ(registry.GetString(kUser, Sub("a\\b"), "name"), text);
    DWORD type = 0;
    EXPECT_EQ(ReadRawValue(scratch.wpath() + L"\\a\\b", L"Name", type),
              L"caf\u00e9 \u20ac \u0414\r\nsecond line\r\n");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
}

TEST_F(Win32RegistryTest, EmptyNameIsTheDefaultValue) {
    ASSERT_TRUE(registry.SetString(kUser, scratch.path(), "", "default").ok());
    DWORD type = 0;
    EXPECT_EQ(ReadRawValue(scratch.wpath(), L"", type), L"default");
    EXPECT_EQ(registry.GetString(kUser, scratch.path(), ""), "default");
}

TEST_F(Win32RegistryTest, OnlyStringValuesRead) {
    const DWORD number = 7;
    const wchar_t expand[] = L"%TEMP%";
    PutRawValue(scratch.wpath(), L"dword", REG_DWORD, &number, sizeof(number));
    PutRawValue(scratch.wpath(), L"expand", REG_EXPAND_SZ, expand, sizeof(expand));
    PutRawValue(scratch.wpath(), L"empty", REG_SZ, L"", sizeof(wchar_t));
    EXPECT_EQ(registry.GetString(kUser, scratch.path(), "dword"), std::nullopt);
    EXPECT_EQ(registry.GetString(kUser, scratch.path(), "expand"), std::nullopt);
    EXPECT_EQ(registry.GetString(kUser, scratch.path(), "empty"), "");
    EXPECT_EQ(registry.GetString(kUser, scratch.path(), "missing"), std::nullopt);
    EXPECT_EQ(registry.GetString(kUser, Sub("missing"), "empty"), std::nullopt);
}

// Other programs store strings without their NUL, with an odd byte count, or with a NUL inside.
TEST_F(Win32RegistryTest, UntidyStringsReadUpToTheirFirstNul) {
    PutRawValue(scratch.wpath(), L"bare", REG_SZ, L"abc", 3 * sizeof(wchar_t));
    PutRawValue(scratch.wpath(), L"odd", REG_SZ, L"abc", 3 * sizeof(wchar_t) + 1);
    PutRawValue(scratch.wpath(), L"inner", REG_SZ, L"ab\0cd", 6 * sizeof(wchar_t));
    EXPECT_EQ(registry.GetString(kUser, scratch.path(), "bare"), "abc");
    EXPECT_EQ(registry.GetString(kUser, scratch.path(), "odd"), "abc");
    EXPECT_EQ(registry.GetString(kUser, scratch.path(), "inner"), "ab");
}

TEST_F(Win32RegistryTest, LongValueReadsWhole) {
    const std::string text(100000, 'x');
    ASSERT_TRUE(registry.SetString(kUser, scratch.path(), "long", text).ok());
    EXPECT_EQ(registry.GetString(kUser, scratch.path(), "long"), text);
}

TEST_F(Win32RegistryTest, DeletesAndAbsentIsNoError) {
    ASSERT_TRUE(registry.CreateKey(kUser, Sub("k\\sub")).ok());
    ASSERT_TRUE(registry.SetString(kUser, Sub("k"), "v", "1").ok());
    EXPECT_FALSE(registry.DeleteKey(kUser, Sub("k")).ok());  // has a subkey
    ASSERT_TRUE(registry.DeleteValue(kUser, Sub("k"), "v").ok());
    EXPECT_EQ(registry.GetString(kUser, Sub("k"), "v"), std::nullopt);
    EXPECT_TRUE(registry.DeleteValue(kUser, Sub("k"), "v").ok());
    EXPECT_TRUE(registry.DeleteValue(kUser, Sub("none"), "v").ok());
    ASSERT_TRUE(registry.DeleteKey(kUser, Sub("k\\sub")).ok());
    ASSERT_TRUE(registry.DeleteKey(kUser, Sub("k")).ok());
    HKEY key = nullptr;
    EXPECT_EQ(
        ::RegOpenKeyExW(HKEY_CURRENT_USER, (scratch.wpath() + L"\\k").c_str(), 0, KEY_READ, &key),
        ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(registry.DeleteKey(kUser, Sub("k")).ok());
}

TEST_F(Win32RegistryTest, RefusesWhatWouldAddressAnotherKey) {
    EXPECT_FALSE(registry.DeleteKey(kUser, "").ok());
    EXPECT_FALSE(registry.SetString(kUser, scratch.path() + std::string("\0x", 2), "v", "1").ok());
    EXPECT_FALSE(registry.SetString(kUser, scratch.path(), std::string("v\0x", 3), "1").ok());
    EXPECT_EQ(registry.GetString(kUser, scratch.path(), "v"), std::nullopt);
}

TEST_F(Win32RegistryTest, RefusedWriteSaysAccessIsDenied) {
    ASSERT_TRUE(registry.SetString(kUser, Sub("locked"), "present", "1").ok());
    const DenyRights deny(HKEY_CURRENT_USER, scratch.wpath() + L"\\locked",
                          KEY_SET_VALUE | KEY_CREATE_SUB_KEY | DELETE);
    ASSERT_TRUE(deny.applied());

    const Status written = registry.SetString(kUser, Sub("locked"), "v", "1");
    ASSERT_FALSE(written.ok());
    EXPECT_TRUE(IsAccessDenied(written.error()));
    EXPECT_EQ(written.error().reason,
              SystemMessage(ERROR_ACCESS_DENIED));  // Wine words it its own way
    EXPECT_EQ(written.error().path, "HKEY_CURRENT_USER\\" + Sub("locked"));

    // Reading still works; deleting what is absent is no error even without rights.
    EXPECT_EQ(registry.GetString(kUser, Sub("locked"), "present"), "1");
    EXPECT_TRUE(registry.DeleteValue(kUser, Sub("locked"), "absent").ok());
    const Status deleted = registry.DeleteValue(kUser, Sub("locked"), "present");
    ASSERT_FALSE(deleted.ok());
    EXPECT_TRUE(IsAccessDenied(deleted.error()));
    // Wine does not enforce a denied DELETE on a key: a refused key deletion is tested with
    // the fake registry.
}

}  // namespace
}  // namespace platform::win32
