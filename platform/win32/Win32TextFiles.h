// List files in the system's ANSI code page, written so that a crash or a full disk never
// leaves a list truncated.
#pragma once

#include "platform/TextFiles.h"

namespace platform::win32 {

class Win32TextFiles final : public TextFiles {
  public:
    bool Exists(const std::string& path) override;
    Result<std::string> ReadText(const std::string& path) override;
    Status AppendText(const std::string& path, std::string_view text) override;
    Status ReplaceText(const std::string& path, std::string_view text) override;
};

// UTF-8 to the ANSI code page, refusing characters it cannot hold instead of writing "?".
Result<std::string> ToAnsi(std::string_view utf8, const std::string& path);
std::string FromAnsi(std::string_view bytes);

}  // namespace platform::win32
