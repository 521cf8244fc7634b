// What the program knows about itself: its folder and path, and its version information.
#pragma once

#include <optional>
#include <string>

#include "windows/modSiteLink.h"

namespace platform::win32 {

// The folder of the running executable, without a trailing separator.
std::string ProgramFolder();
// The folder, "\", the executable's base name and ".exe".
std::string ProgramPath();

// The version information of an executable (the running one by default), read from the file
// once: the splash paints and every window that shows it ask again.
class Win32VersionSource final : public quell::VersionSource {
  public:
    explicit Win32VersionSource(std::string path = {}) : path_(std::move(path)) {}
    quell::ProductInfo Read() override;

  private:
    quell::ProductInfo ReadFromFile() const;

    std::string path_;
    std::optional<quell::ProductInfo> read_;
};

}  // namespace platform::win32
