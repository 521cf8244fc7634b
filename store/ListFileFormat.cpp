#include "store/ListFileFormat.h"

#include <algorithm>

namespace quell {

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r')) + 1);
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            lines.push_back(text.substr(start, i - start));
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

bool IsSkippedLine(std::string_view line) {
    return line.empty() || line == " ";
}

std::vector<std::string> ParseListFile(std::string_view text) {
    std::vector<std::string> entries;
    for (std::string_view line : SplitLines(text)) {
        if (!IsSkippedLine(line)) {
            entries.emplace_back(line);
        }
    }
    return entries;
}

std::string RewriteContent(std::string listText) {
    listText += "\r\n";
    return listText;
}

}  // namespace quell
