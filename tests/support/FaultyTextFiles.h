#pragma once

#include <cerrno>

#include "platform/posix/PosixTextFiles.h"

namespace quell::testing {

// Real files, except for the operations a test makes fail (as a locked or full disk would).
class FaultyTextFiles : public platform::TextFiles {
  public:
    bool Exists(const std::string& path) override { return real.Exists(path); }
    platform::Result<std::string> ReadText(const std::string& path) override {
        if (failRead) {
            return Fail("ReadFile", path, "Access is denied.");
        }
        return real.ReadText(path);
    }
    platform::Status AppendText(const std::string& path, std::string_view text) override {
        if (failAppend) {
            return Fail("WriteFile", path, "There is not enough space on the disk.");
        }
        return real.AppendText(path, text);
    }
    platform::Status ReplaceText(const std::string& path, std::string_view text) override {
        if (failReplace) {
            return Fail("ReplaceFileW", path, "There is not enough space on the disk.");
        }
        return real.ReplaceText(path, text);
    }

    platform::Status Recover(const std::string& path) override { return real.Recover(path); }

    bool failRead = false;
    bool failAppend = false;
    bool failReplace = false;
    platform::PosixTextFiles real;

  private:
    static platform::Error Fail(const char* call, const std::string& path, const char* reason) {
        platform::Error error;
        error.call = call;
        error.path = path;
        error.code = 112;
        error.reason = reason;
        return error;
    }
};

}  // namespace quell::testing
