// Registry set-ups for the Win32 tests: a key of the test's own, a write ban on a key for the
// current user, the way a machine refuses a standard user (Wine's HKEY_LOCAL_MACHINE is
// writable otherwise), and values written and read straight through the system.
#pragma once

#include <windows.h>

#include <aclapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/Handles.h"
#include "win32/CurrentUser.h"

namespace quell::testing {

// HKEY_CURRENT_USER\Software\QuellPaneTests\<name>-<process id>, deleted with its subkeys.
class ScratchKey {
  public:
    explicit ScratchKey(const std::string& name)
        : path_("Software\\QuellPaneTests\\" + name + "-" +
                std::to_string(::GetCurrentProcessId())) {
        Remove();
    }
    ~ScratchKey() { Remove(); }
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    const std::string& path() const { return path_; }
    std::wstring wpath() const { return std::wstring(path_.begin(), path_.end()); }

  private:
    void Remove() const { ::RegDeleteTreeW(HKEY_CURRENT_USER, wpath().c_str()); }
    std::string path_;
};

// Writes a value of any type under HKEY_CURRENT_USER\<path>, creating the key if need be.
inline void PutRawValue(const std::wstring& path, const std::wstring& name, DWORD type,
                        const void* data, DWORD bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const platform::win32::UniqueRegKey owned(key);
    ASSERT_EQ(::RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes),
              ERROR_SUCCESS);
}

// What `reg query` shows of a value under HKEY_CURRENT_USER\<path>: its raw type and text.
inline std::wstring ReadRawValue(const std::wstring& path, const std::wstring& name, DWORD& type) {
    wchar_t data[512] = {};
    DWORD bytes = sizeof(data);
    type = REG_NONE;
    if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND,
                       &type, data, &bytes) != ERROR_SUCCESS) {
        return L"<absent>";
    }
    return data;
}

// Denies the current user `rights` on an existing key until destroyed, then puts the key's
// own access list back.
class DenyRights {
  public:
    DenyRights(HKEY root, const std::wstring& path, DWORD rights) {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(root, path.c_str(), 0, READ_CONTROL | WRITE_DAC, &key) != 0) {
            return;
        }
        key_.reset(key);
        DWORD size = 0;
        ::RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
        saved_.resize(size);
        if (::RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, saved_.data(), &size) != 0) {
            return;
        }
        BOOL present = FALSE;
        BOOL defaulted = FALSE;
        PACL old = nullptr;
        ::GetSecurityDescriptorDacl(saved_.data(), &present, &old, &defaulted);

        std::vector<BYTE> user = CurrentUserSid();
        EXPLICIT_ACCESSW entries[2] = {};
        entries[0].grfAccessPermissions = rights;
        entries[0].grfAccessMode = DENY_ACCESS;
        entries[0].Trustee.TrusteeForm = TRUSTEE_IS_SID;
        entries[0].Trustee.ptstrName = reinterpret_cast<LPWSTR>(user.data());
        // With no access list at all everyone had full access; keep that, less the denial.
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        PSID everyone = nullptr;
        ::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
        entries[1].grfAccessPermissions = KEY_ALL_ACCESS;
        entries[1].grfAccessMode = GRANT_ACCESS;
        entries[1].Trustee.TrusteeForm = TRUSTEE_IS_SID;
        entries[1].Trustee.ptstrName = reinterpret_cast<LPWSTR>(everyone);
        const ULONG count = (present && old != nullptr) ? 1 : 2;
        PACL acl = nullptr;
        if (::SetEntriesInAclW(count, entries, count == 1 ? old : nullptr, &acl) == 0) {
            SECURITY_DESCRIPTOR sd;
            ::InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
            ::SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
            applied_ = ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd) == 0;
            ::LocalFree(acl);
        }
        ::FreeSid(everyone);
    }
    ~DenyRights() {
        if (applied_) {
            ::RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, saved_.data());
        }
    }
    DenyRights(const DenyRights&) = delete;
    DenyRights& operator=(const DenyRights&) = delete;

    bool applied() const { return applied_; }

  private:
    platform::win32::UniqueRegKey key_;
    std::vector<BYTE> saved_;
    bool applied_ = false;
};

}  // namespace quell::testing
