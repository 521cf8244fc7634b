// Who may call QuellPane's COM objects, the browsers' event sinks: the current user and SYSTEM,
// from processes of any integrity level down to low. The browser runs the pages of the Internet
// zone in low-integrity tab processes (Protected Mode), and by default COM refuses their calls
// into a process of medium integrity, so without this no such page's popup would be decided.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/Result.h"

namespace platform::win32 {

// The access descriptor for the user with the given SID (string form), in SDDL.
std::wstring ComAccessSddl(const std::wstring& userSid);

// The current process token's user SID in string form ("S-1-5-21-…").
Result<std::wstring> CurrentUserSid();

// A security descriptor in absolute form, the form CoInitializeSecurity takes, owning its parts.
class AbsoluteSecurityDescriptor {
  public:
    static Result<AbsoluteSecurityDescriptor> FromSddl(const std::wstring& sddl);
    PSECURITY_DESCRIPTOR get() { return descriptor_.data(); }

  private:
    AbsoluteSecurityDescriptor() = default;
    // Heap buffers: the descriptor points into the others, and moving keeps them where they are.
    std::vector<BYTE> descriptor_;
    std::vector<BYTE> dacl_;
    std::vector<BYTE> sacl_;
    std::vector<BYTE> owner_;
    std::vector<BYTE> group_;
};

// The descriptor of ComAccessSddl for the current user.
Result<AbsoluteSecurityDescriptor> ComAccessDescriptor();

// Sets the process's COM security with that descriptor. Must come after CoInitializeEx and before
// any object is handed to another process; a failure leaves COM's defaults in place.
Status ApplyComSecurity();

// The status line's sentence when the security could not be set.
std::string ComSecurityFailedText(const Error& error);

}  // namespace platform::win32
