#include "platform/win32/ComSecurity.h"

#include <objbase.h>
#include <sddl.h>

#include "platform/win32/ErrorText.h"
#include "platform/win32/Handles.h"

namespace platform::win32 {
namespace {

// Method calls on our objects from this machine only; COM_RIGHTS_EXECUTE must be set with the
// finer rights for historical reasons. Nothing here is launched or activated by others.
constexpr DWORD kLocalCalls = COM_RIGHTS_EXECUTE | COM_RIGHTS_EXECUTE_LOCAL;
static_assert(kLocalCalls == 0x3, "the SDDL below spells the rights as 0x3");

}  // namespace

std::wstring ComAccessSddl(const std::wstring& userSid) {
    // COM reads only the no-execute-up policy of a mandatory label, and counts every COM right as
    // execute: a low label lets callers of low integrity and above through, and the access list
    // still admits only the user's own processes and SYSTEM.
    return L"O:" + userSid + L"G:" + userSid + L"D:(A;;0x3;;;" + userSid +
           L")(A;;0x3;;;SY)S:(ML;;NX;;;LW)";
}

Result<std::wstring> CurrentUserSid() {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) {
        return LastError("OpenProcessToken", "");
    }
    const UniqueHandle token(raw);
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, user.data(), size, &size)) {
        return LastError("GetTokenInformation", "");
    }
    wchar_t* text = nullptr;
    if (!::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &text)) {
        return LastError("ConvertSidToStringSidW", "");
    }
    const UniqueLocal owned(text);
    return std::wstring(text);
}

Result<AbsoluteSecurityDescriptor> AbsoluteSecurityDescriptor::FromSddl(const std::wstring& sddl) {
    PSECURITY_DESCRIPTOR raw = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &raw,
                                                                nullptr)) {
        return LastError("ConvertStringSecurityDescriptorToSecurityDescriptorW", "");
    }
    const UniqueLocal selfRelative(raw);
    DWORD sizes[5] = {};
    ::MakeAbsoluteSD(raw, nullptr, &sizes[0], nullptr, &sizes[1], nullptr, &sizes[2], nullptr,
                     &sizes[3], nullptr, &sizes[4]);
    AbsoluteSecurityDescriptor made;
    made.descriptor_.resize(sizes[0]);
    made.dacl_.resize(sizes[1]);
    made.sacl_.resize(sizes[2]);
    made.owner_.resize(sizes[3]);
    made.group_.resize(sizes[4]);
    const auto part = [](std::vector<BYTE>& bytes) -> void* {
        return bytes.empty() ? nullptr : bytes.data();
    };
    if (!::MakeAbsoluteSD(raw, part(made.descriptor_), &sizes[0],
                          static_cast<PACL>(part(made.dacl_)), &sizes[1],
                          static_cast<PACL>(part(made.sacl_)), &sizes[2], part(made.owner_),
                          &sizes[3], part(made.group_), &sizes[4])) {
        return LastError("MakeAbsoluteSD", "");
    }
    return made;
}

Result<AbsoluteSecurityDescriptor> ComAccessDescriptor() {
    Result<std::wstring> user = CurrentUserSid();
    if (!user) {
        return user.error();
    }
    return AbsoluteSecurityDescriptor::FromSddl(ComAccessSddl(user.value()));
}

Status ApplyComSecurity() {
    Result<AbsoluteSecurityDescriptor> descriptor = ComAccessDescriptor();
    if (!descriptor) {
        return descriptor.error();
    }
    AbsoluteSecurityDescriptor access = std::move(descriptor).value();
    // Integrity at least for every call (the higher of both sides' levels is used, so callers
    // follow); we let servers identify us but not act as us. No custom unmarshaler is loaded on
    // a caller's say: a page that took over a low-integrity tab must not get a class of its
    // choosing created in this medium-integrity process.
    const HRESULT result =
        ::CoInitializeSecurity(access.get(), -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT_INTEGRITY,
                               RPC_C_IMP_LEVEL_IDENTIFY, nullptr, EOAC_NO_CUSTOM_MARSHAL, nullptr);
    if (FAILED(result)) {
        return LastError("CoInitializeSecurity", "", static_cast<DWORD>(result));
    }
    return Status::Ok();
}

std::string ComSecurityFailedText(const Error& error) {
    return "Browser tabs in Protected Mode may go unwatched: COM security could not be set (" +
           error.reason + ")";
}

}  // namespace platform::win32
