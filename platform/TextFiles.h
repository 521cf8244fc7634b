// Plain-text files in the system's ANSI code page. The core speaks UTF-8; the adapter
// converts at the file boundary and refuses text the code page cannot hold.
#pragma once

#include <string>
#include <string_view>

#include "platform/Result.h"

namespace platform {

class TextFiles {
  public:
    virtual ~TextFiles() = default;

    virtual bool Exists(const std::string& path) = 0;
    // The whole file, decoded to UTF-8.
    virtual Result<std::string> ReadText(const std::string& path) = 0;
    // Appends to the file, creating it when absent; on failure the file is as it was.
    virtual Status AppendText(const std::string& path, std::string_view text) = 0;
    // Replaces the file's whole content through a temporary file in the same folder, so the
    // old content survives a crash or a full disk.
    virtual Status ReplaceText(const std::string& path, std::string_view text) = 0;
};

}  // namespace platform
