// The program's registry utility: run at logon, the installed-programs entry, and plain string
// values. The machine-wide Run value needs administrator rights; without them the current
// user's Run key serves, and the caller is told which one did.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/Registry.h"

namespace quell {

inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Where something meant for every user of the machine was written.
enum class Placement { AllUsers, CurrentUserOnly, Failed };

struct PlacementResult {
    Placement placement = Placement::Failed;
    // CurrentUserOnly: why the machine-wide write failed. Failed: why the per-user one did.
    platform::Error error;

    bool ok() const { return placement != Placement::Failed; }
};

// Runs `write` under HKEY_LOCAL_MACHINE and, where that fails, under HKEY_CURRENT_USER. After
// a machine-wide success `removeUserCopy` deletes a per-user copy left by an earlier fallback,
// which would otherwise act a second time (two starts at logon).
PlacementResult PlaceForAllOrCurrentUser(
    const std::function<platform::Status(platform::RootKey)>& write,
    const std::function<platform::Status(platform::RootKey)>& removeUserCopy);

// True when the value already holds the data. A machine-wide value that is already right needs
// no write, so a user without the rights to make one gets no second, per-user copy.
bool Holds(platform::Registry& registry, platform::RootKey root, const std::string& path,
           const std::string& name, const std::string& data);

// A command line that runs `file` with no arguments: the path in double quotes. Windows splits
// an unquoted command line at its blanks and tries each head in turn, so an unquoted
// C:\Program Files\QuellPane\QuellPane.exe would first start a C:\Program.exe.
std::string QuotedCommand(const std::string& file);

// Deletes from both places, each tried; the machine-wide failure is reported first.
platform::Status RemoveForAllAndCurrentUser(
    const std::function<platform::Status(platform::RootKey)>& remove);

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

// The sentences of one "for everyone, else for me" operation, short enough for the status
// line where no reason of the system's follows.
struct PlacementWords {
    const char* done;       // written machine-wide
    const char* doneForMe;  // written per user only: the machine-wide write needs admin rights,
                            // or the reason it failed follows
    const char* failed;     // written nowhere; the system's reason follows
};
std::string DescribePlacement(const PlacementResult& result, const PlacementWords& words);

// `done` when the status is ok, else `failed` followed by the system's reason.
std::string DescribeStatus(const platform::Status& result, const char* done, const char* failed);

}  // namespace quell
