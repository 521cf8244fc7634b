// Whether a path names an existing ordinary file, by the classic directory search. The main
// window (fileExists, TrimPath) and the help window (FileExists, GetFileName) use the same test.
#pragma once

#include <string>
#include <string_view>

#include "platform/FileSearch.h"

namespace quell {

// The part of the path after its last "\" ("C:\a\b.txt" gives "b.txt", "C:\a\" gives "").
std::string TrimPath(std::string_view asPath);

// True when the first ordinary file the search finds for the path has the path's own file name,
// letter case aside. A path that ends in "\" names no file and is false, as is any failure of
// the search.
bool fileExists(platform::FileSearch& search, std::string_view asPath);

// The help window's module names for the same two functions.
namespace xfileExists {
inline std::string GetFileName(std::string_view path) {
    return TrimPath(path);
}
inline bool FileExists(platform::FileSearch& search, std::string_view path) {
    return fileExists(search, path);
}
}  // namespace xfileExists

}  // namespace quell
