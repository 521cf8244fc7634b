// Plain-text files in the system's ANSI code page. The core speaks UTF-8; the adapter
// converts at the file boundary and refuses text the code page cannot hold.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace platform {

// The largest file ReadText takes. A list several times this size would need gigabytes once
// shown, searched and converted; past 2 GiB the system's conversion calls cannot even count it.
inline constexpr std::uint64_t kLargestTextFile = 256ull << 20;

// A rewrite's temporary file sits beside the file it replaces, named after it:
// "allowed.txt.~" + six letters or digits + ".tmp".
inline constexpr std::string_view kTemporaryMark = ".~";
inline constexpr std::string_view kTemporaryEnd = ".tmp";
inline constexpr std::size_t kTemporaryUniqueLength = 6;

// Whether `name` is one of the temporaries a rewrite of the file `file` makes.
bool IsTemporaryOf(std::string_view name, std::string_view file);

class TextFiles {
  public:
    virtual ~TextFiles() = default;

    virtual bool Exists(const std::string& path) = 0;
    // The whole file, decoded to UTF-8; a file over kLargestTextFile is refused unread.
    virtual Result<std::string> ReadText(const std::string& path) = 0;
    // Appends to the file, creating it when absent, and flushes it to the disk; on failure the
    // file is as it was.
    virtual Status AppendText(const std::string& path, std::string_view text) = 0;
    // Replaces the file's whole content through a temporary file in the same folder, so the
    // old content survives a crash or a full disk.
    virtual Status ReplaceText(const std::string& path, std::string_view text) = 0;
    // Clears up after a rewrite that a killed process or a failed rename left unfinished:
    // while the file exists its temporaries are removed; when it is gone, the newest of them
    // takes its place.
    virtual Status Recover(const std::string& path) = 0;
};

}  // namespace platform
