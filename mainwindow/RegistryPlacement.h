// "For everyone, else for me": a registry write tried machine-wide and, without the rights for
// that, for the current user only; its removal from both places; and the status-line sentences
// that say where it went.
#pragma once

#include <functional>
#include <string>

#include "platform/Registry.h"

namespace quell {

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

// Deletes from both places, each tried; the machine-wide failure is reported first.
platform::Status RemoveForAllAndCurrentUser(
    const std::function<platform::Status(platform::RootKey)>& remove);

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
