#include "platform/win32/Win32FileSearch.h"

#include <windows.h>

#include "platform/win32/Handles.h"
#include "platform/win32/Unicode.h"

namespace platform::win32 {

std::string Win32FileSearch::FirstFile(const std::string& path) {
    // A NUL would cut the path short and search for another name.
    if (path.empty() || path.find('\0') != std::string::npos) {
        return {};
    }
    constexpr DWORD kNotOrdinary =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    WIN32_FIND_DATAW found{};
    const UniqueFindHandle search(::FindFirstFileW(Widen(path).c_str(), &found));
    if (!search) {
        return {};
    }
    do {
        if ((found.dwFileAttributes & kNotOrdinary) == 0) {
            return Narrow(found.cFileName);
        }
    } while (::FindNextFileW(search.get(), &found));
    return {};
}

}  // namespace platform::win32
