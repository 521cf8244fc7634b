// List files in the system's ANSI code page, written so that a crash or a full disk never
// leaves a list truncated.
#pragma once

#include <windows.h>

#include "platform/TextFiles.h"

namespace platform::win32 {

// The calls that finish a rewrite; tests replace them to fail the way a virus scanner or a
// backup tool holding the file makes them fail.
struct Win32FileOps {
    BOOL(WINAPI* replace)
    (LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup, DWORD flags, LPVOID exclude,
     LPVOID reserved);
    BOOL(WINAPI* move)(LPCWSTR from, LPCWSTR to, DWORD flags);
};

class Win32TextFiles final : public TextFiles {
  public:
    Win32TextFiles() : ops_{&::ReplaceFileW, &::MoveFileExW} {}
    explicit Win32TextFiles(Win32FileOps ops) : ops_(ops) {}

    // True for hidden and system files too; false for a folder.
    bool Exists(const std::string& path) override;
    Result<std::string> ReadText(const std::string& path) override;
    Status AppendText(const std::string& path, std::string_view text) override;
    Status ReplaceText(const std::string& path, std::string_view text) override;
    Status Recover(const std::string& path) override;

    // The same without conversion, for files of other encodings (the exported site lists).
    Result<std::string> ReadBytes(const std::string& path);
    Status ReplaceBytes(const std::string& path, std::string_view bytes);

  private:
    Win32FileOps ops_;
};

// UTF-8 to the ANSI code page, refusing characters it cannot hold instead of writing "?".
Result<std::string> ToAnsi(std::string_view utf8, const std::string& path);
std::string FromAnsi(std::string_view bytes);

}  // namespace platform::win32
