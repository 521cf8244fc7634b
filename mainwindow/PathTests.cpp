#include "mainwindow/PathTests.h"

#include "blocker/TextCompare.h"

namespace quell {

std::string TrimPath(std::string_view asPath) {
    const std::size_t slash = asPath.rfind('\\');
    return std::string(slash == std::string_view::npos ? asPath : asPath.substr(slash + 1));
}

bool fileExists(platform::FileSearch& search, std::string_view asPath) {
    const std::string name = TrimPath(asPath);
    // The classic test found an empty search result equal to an empty name, so a missing
    // folder ending in "\" counted as an existing file.
    if (name.empty()) {
        return false;
    }
    return FoldCase(search.FirstFile(std::string(asPath))) == FoldCase(name);
}

}  // namespace quell
