// Windows-1252, the ANSI code page of the list files wherever the system cannot say (the
// Linux build host pins it too), as the Windows code-page functions map it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::cp1252 {

std::string Decode(std::string_view bytes);

struct Unencodable {
    std::string character;  // the first character the code page cannot hold, UTF-8
};

// The bytes of a UTF-8 text, or the first character that has no byte (invalid UTF-8 counts
// as such a character).
std::optional<std::string> Encode(std::string_view utf8, Unencodable* failure = nullptr);

}  // namespace platform::cp1252
