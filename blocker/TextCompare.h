// Case-insensitive text comparison for site keys and list texts (UTF-8).
#pragma once

#include <string>
#include <string_view>

namespace quell {

// Lower-cases the letters that ANSI code pages hold: ASCII, Latin-1, Latin Extended-A,
// Greek, Cyrillic and full-width Latin. Mappings that would change the byte length
// (dotted capital I, Kelvin sign) are left alone, as are invalid UTF-8 bytes.
std::string FoldCase(std::string_view text);
// Folding keeps the byte length: writes exactly text.size() bytes to `out`.
void FoldCaseInto(std::string_view text, char* out);
void FoldCaseAppend(std::string_view text, std::string& out);

// True when `needle` occurs in `haystack`, both already folded. An empty needle is found in
// any non-empty haystack; an empty haystack contains nothing.
bool ContainsFolded(std::string_view haystack, std::string_view needle);

// Folds both sides, then searches. For one-off tests on short texts.
bool ContainsIgnoreCase(std::string_view haystack, std::string_view needle);

// ASCII-only lower case, for prefixes such as "http://".
bool StartsWithIgnoreAsciiCase(std::string_view text, std::string_view prefix);

}  // namespace quell
