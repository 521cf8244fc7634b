#pragma once

#include <windows.h>

#include <string>

#include "platform/Result.h"

namespace platform::win32 {

// The system's own sentence for an error code ("Access is denied."), UTF-8.
std::string SystemMessage(DWORD code);

// An Io error of a failed call, with the system's sentence as its reason.
Error LastError(const char* call, const std::string& path, DWORD code = ::GetLastError());

}  // namespace platform::win32
