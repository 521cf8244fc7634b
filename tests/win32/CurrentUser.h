// The SID of the user the tests run as, read from the process token, as bytes.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/win32/Handles.h"

namespace quell::testing {

inline std::vector<BYTE> CurrentUserSid() {
    HANDLE token = nullptr;
    ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token);
    const platform::win32::UniqueHandle owned(token);
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> info(size);
    if (!::GetTokenInformation(token, TokenUser, info.data(), size, &size)) {
        return {};
    }
    const PSID sid = reinterpret_cast<TOKEN_USER*>(info.data())->User.Sid;
    std::vector<BYTE> copy(::GetLengthSid(sid));
    ::CopySid(static_cast<DWORD>(copy.size()), copy.data(), sid);
    return copy;
}

}  // namespace quell::testing
