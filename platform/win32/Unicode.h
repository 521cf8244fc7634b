// UTF-8 inside the core, UTF-16 at the Windows edge: the conversions live here only.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace platform::win32 {

// Bytes of a code page (UTF-8 by default) to UTF-16, and back.
std::wstring Widen(std::string_view bytes, UINT codePage = CP_UTF8);
std::string Narrow(std::wstring_view utf16, UINT codePage = CP_UTF8);

}  // namespace platform::win32
