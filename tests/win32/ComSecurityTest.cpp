// The descriptor QuellPane gives CoInitializeSecurity, read back through the security API.
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/ComSecurity.h"
#include "win32/CurrentUser.h"

namespace platform::win32 {
namespace {

std::vector<BYTE> WellKnown(WELL_KNOWN_SID_TYPE type) {
    std::vector<BYTE> sid(SECURITY_MAX_SID_SIZE);
    DWORD size = static_cast<DWORD>(sid.size());
    if (!::CreateWellKnownSid(type, nullptr, sid.data(), &size)) {
        return {};
    }
    sid.resize(size);
    return sid;
}

bool SameSid(PSID sid, const std::vector<BYTE>& expected) {
    return sid != nullptr && !expected.empty() &&
           ::EqualSid(sid, const_cast<BYTE*>(expected.data()));
}

struct AceSeen {
    BYTE type;
    ACCESS_MASK mask;
    PSID sid;
};

// Every ace of an access list; the allowed and label aces share one layout.
std::vector<AceSeen> Aces(PACL acl) {
    std::vector<AceSeen> aces;
    for (DWORD i = 0; acl != nullptr && i < acl->AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(acl, i, &ace)) {
            break;
        }
        const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        aces.push_back(
            {allowed->Header.AceType, allowed->Mask, const_cast<DWORD*>(&allowed->SidStart)});
    }
    return aces;
}

TEST(ComSecurityTest, DescriptorAdmitsTheUserAndSystemDownToLowIntegrityOnly) {
    Result<AbsoluteSecurityDescriptor> made = ComAccessDescriptor();
    ASSERT_TRUE(made.ok()) << made.error().call << ": " << made.error().reason;
    AbsoluteSecurityDescriptor descriptor = std::move(made).value();
    const PSECURITY_DESCRIPTOR sd = descriptor.get();
    ASSERT_TRUE(::IsValidSecurityDescriptor(sd));
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(::GetSecurityDescriptorControl(sd, &control, &revision));
    EXPECT_EQ(control & SE_SELF_RELATIVE, 0) << "CoInitializeSecurity takes the absolute form";

    const std::vector<BYTE> user = quell::testing::CurrentUserSid();
    PSID owner = nullptr;
    PSID group = nullptr;
    BOOL defaulted = FALSE;
    ASSERT_TRUE(::GetSecurityDescriptorOwner(sd, &owner, &defaulted));
    ASSERT_TRUE(::GetSecurityDescriptorGroup(sd, &group, &defaulted));
    EXPECT_TRUE(SameSid(owner, user));
    EXPECT_TRUE(SameSid(group, user));

    BOOL present = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(::GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted));
    ASSERT_TRUE(present && dacl != nullptr) << "a missing list would admit everyone";
    const std::vector<AceSeen> allowed = Aces(dacl);
    ASSERT_EQ(allowed.size(), 2u);
    const std::vector<BYTE> system = WellKnown(WinLocalSystemSid);
    for (std::size_t i = 0; i < allowed.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(allowed[i].type, ACCESS_ALLOWED_ACE_TYPE);
        EXPECT_EQ(allowed[i].mask,
                  static_cast<ACCESS_MASK>(COM_RIGHTS_EXECUTE | COM_RIGHTS_EXECUTE_LOCAL));
        EXPECT_TRUE(SameSid(allowed[i].sid, i == 0 ? user : system));
    }

    PACL sacl = nullptr;
    ASSERT_TRUE(::GetSecurityDescriptorSacl(sd, &present, &sacl, &defaulted));
    ASSERT_TRUE(present && sacl != nullptr);
    const std::vector<AceSeen> label = Aces(sacl);
    ASSERT_EQ(label.size(), 1u);
    EXPECT_EQ(label[0].type, SYSTEM_MANDATORY_LABEL_ACE_TYPE);
    EXPECT_EQ(label[0].mask, static_cast<ACCESS_MASK>(SYSTEM_MANDATORY_LABEL_NO_EXECUTE_UP));
    EXPECT_TRUE(SameSid(label[0].sid, WellKnown(WinLowLabelSid)));
}

}  // namespace
}  // namespace platform::win32
