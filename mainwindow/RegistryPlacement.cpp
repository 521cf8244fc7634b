#include "mainwindow/RegistryPlacement.h"

namespace quell {

using platform::RootKey;
using platform::Status;

PlacementResult PlaceForAllOrCurrentUser(const std::function<Status(RootKey)>& write,
                                         const std::function<Status(RootKey)>& removeUserCopy) {
    const Status machine = write(RootKey::LocalMachine);
    if (machine.ok()) {
        (void)removeUserCopy(RootKey::CurrentUser);
        return {Placement::AllUsers, {}};
    }
    const Status user = write(RootKey::CurrentUser);
    if (user.ok()) {
        return {Placement::CurrentUserOnly, machine.error()};
    }
    return {Placement::Failed, user.error()};
}

bool Holds(platform::Registry& registry, RootKey root, const std::string& path,
           const std::string& name, const std::string& data) {
    return registry.GetString(root, path, name) == data;
}

Status RemoveForAllAndCurrentUser(const std::function<Status(RootKey)>& remove) {
    const Status machine = remove(RootKey::LocalMachine);
    const Status user = remove(RootKey::CurrentUser);
    return machine.ok() ? user : machine;
}

std::string DescribePlacement(const PlacementResult& result, const PlacementWords& words) {
    switch (result.placement) {
        case Placement::AllUsers:
            return words.done;
        case Placement::CurrentUserOnly:
            if (platform::IsAccessDenied(result.error)) {
                return words.doneForMe;
            }
            return std::string(words.doneForMe) + " (for all users: " + result.error.reason + ")";
        case Placement::Failed:
            break;
    }
    return std::string(words.failed) + ": " + result.error.reason;
}

std::string DescribeStatus(const Status& result, const char* done, const char* failed) {
    return result.ok() ? std::string(done) : std::string(failed) + ": " + result.error().reason;
}

}  // namespace quell
