// The program's registry utility: run at logon, the installed-programs entry, and plain string
// values. The machine-wide Run value needs administrator rights; without them the current
// user's Run key serves, and the caller is told which one did.
#pragma once

#include <optional>
#include <string>

#include "mainwindow/RegistryPlacement.h"
#include "platform/Registry.h"

namespace quell {

inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// A command line that runs `file` with no arguments: the path in double quotes. Windows splits
// an unquoted command line at its blanks and tries each head in turn, so an unquoted
// C:\Program Files\QuellPane\QuellPane.exe would first start a C:\Program.exe.
std::string QuotedCommand(const std::string& file);

class AddRemove {
  public:
    explicit AddRemove(platform::Registry& registry) : registry_(registry) {}

    // DisplayName and UninstallString under the program's Uninstall key (machine-wide).
    platform::Status AddToList(const std::string& ProgramName, const std::string& UninstallCommand);
    platform::Status RemoveFromList(const std::string& ProgramName);
    // The Run value `ProgramName` = `FileToRun` quoted, machine-wide where allowed, else per
    // user. A value that differs (an earlier version's unquoted path too) is written anew.
    PlacementResult AddToRun(const std::string& ProgramName, const std::string& FileToRun);
    // Deletes the Run value from both places; absent is no error.
    platform::Status RemoveFromRun(const std::string& ProgramName);
    platform::Status SaveKey(platform::RootKey root, const std::string& strPath);
    std::optional<std::string> GetString(platform::RootKey root, const std::string& strPath,
                                         const std::string& strValue);
    platform::Status SaveString(platform::RootKey root, const std::string& strPath,
                                const std::string& strValue, const std::string& strdata);
    platform::Status DeleteValue(platform::RootKey root, const std::string& strPath,
                                 const std::string& strValue);
    platform::Status DeleteKey(platform::RootKey root, const std::string& strPath);

  private:
    platform::Registry& registry_;
};

// Status-line sentences for the run-at-startup switch.
std::string RunAtStartupEnabledText(const PlacementResult& result);
std::string RunAtStartupDisabledText(const platform::Status& result);

}  // namespace quell
