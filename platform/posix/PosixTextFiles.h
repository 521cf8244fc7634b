// List files on a POSIX system: Windows-1252 text, atomic rewrites by rename.
#pragma once

#include <sys/types.h>

#include "platform/TextFiles.h"

namespace platform {

// The system calls that can fail mid-write; tests replace them to simulate a full disk or a
// crash between the steps.
struct PosixFileOps {
    ssize_t (*write)(int fd, const void* data, size_t size);
    int (*fsync)(int fd);
    int (*rename)(const char* from, const char* to);
};

PosixFileOps DefaultPosixFileOps();

class PosixTextFiles final : public TextFiles {
  public:
    explicit PosixTextFiles(PosixFileOps ops = DefaultPosixFileOps()) : ops_(ops) {}

    bool Exists(const std::string& path) override;
    Result<std::string> ReadText(const std::string& path) override;
    Status AppendText(const std::string& path, std::string_view text) override;
    Status ReplaceText(const std::string& path, std::string_view text) override;
    Status Recover(const std::string& path) override;

  private:
    Status WriteAll(int fd, std::string_view bytes, const std::string& path);

    PosixFileOps ops_;
};

}  // namespace platform
