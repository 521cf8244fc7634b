// The byte layout of the site-list files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quell {

// Lines of a file's text: a line ends at CR LF or at a lone CR; a lone LF stays in the line;
// the last line may lack its terminator.
std::vector<std::string_view> SplitLines(std::string_view text);

// Lines that loading skips: exactly empty, or exactly one space. Nothing is trimmed.
bool IsSkippedLine(std::string_view line);

// The entries a file's text holds, in file order.
std::vector<std::string> ParseListFile(std::string_view text);

// What a full rewrite writes: the list text and one more CR LF.
std::string RewriteContent(std::string listText);

}  // namespace quell
