#include "mainwindow/AddRemove.h"

namespace quell {

using platform::RootKey;
using platform::Status;

namespace {

// An empty program name would address the Run key's default value or the Uninstall key
// itself, neither of which is the program's.
Status RequireName(const std::string& programName, const char* key) {
    if (!programName.empty()) {
        return Status::Ok();
    }
    platform::Error error;
    error.call = "AddRemove";
    error.path = key;
    error.reason = "The program name is empty.";
    return error;
}

}  // namespace

std::string QuotedCommand(const std::string& file) {
    return "\"" + file + "\"";
}

Status AddRemove::AddToList(const std::string& ProgramName, const std::string& UninstallCommand) {
    if (Status named = RequireName(ProgramName, kUninstallKey); !named) {
        return named;
    }
    const std::string key = kUninstallKey + ProgramName;
    if (Status saved = SaveString(RootKey::LocalMachine, key, "DisplayName", ProgramName); !saved) {
        return saved;
    }
    return SaveString(RootKey::LocalMachine, key, "UninstallString", UninstallCommand);
}

Status AddRemove::RemoveFromList(const std::string& ProgramName) {
    if (Status named = RequireName(ProgramName, kUninstallKey); !named) {
        return named;
    }
    return DeleteKey(RootKey::LocalMachine, kUninstallKey + ProgramName);
}

PlacementResult AddRemove::AddToRun(const std::string& ProgramName, const std::string& FileToRun) {
    if (Status named = RequireName(ProgramName, kRunKey); !named) {
        return {Placement::Failed, named.error()};
    }
    const std::string command = QuotedCommand(FileToRun);
    return PlaceForAllOrCurrentUser(
        [&](RootKey root) {
            return Holds(registry_, root, kRunKey, ProgramName, command)
                       ? Status::Ok()
                       : SaveString(root, kRunKey, ProgramName, command);
        },
        [&](RootKey root) { return DeleteValue(root, kRunKey, ProgramName); });
}

Status AddRemove::RemoveFromRun(const std::string& ProgramName) {
    if (Status named = RequireName(ProgramName, kRunKey); !named) {
        return named;
    }
    return RemoveForAllAndCurrentUser(
        [&](RootKey root) { return DeleteValue(root, kRunKey, ProgramName); });
}

Status AddRemove::SaveKey(RootKey root, const std::string& strPath) {
    return registry_.CreateKey(root, strPath);
}

std::optional<std::string> AddRemove::GetString(RootKey root, const std::string& strPath,
                                                const std::string& strValue) {
    return registry_.GetString(root, strPath, strValue);
}

Status AddRemove::SaveString(RootKey root, const std::string& strPath, const std::string& strValue,
                             const std::string& strdata) {
    return registry_.SetString(root, strPath, strValue, strdata);
}

Status AddRemove::DeleteValue(RootKey root, const std::string& strPath,
                              const std::string& strValue) {
    return registry_.DeleteValue(root, strPath, strValue);
}

Status AddRemove::DeleteKey(RootKey root, const std::string& strPath) {
    return registry_.DeleteKey(root, strPath);
}

std::string RunAtStartupEnabledText(const PlacementResult& result) {
    static constexpr PlacementWords kWords = {
        "Run On Startup Enabled",
        "Run On Startup Enabled for you only",
        "Run On Startup could not be enabled",
    };
    return DescribePlacement(result, kWords);
}

std::string RunAtStartupDisabledText(const Status& result) {
    return DescribeStatus(result, "Run On Startup Disabled",
                          "Run On Startup could not be disabled");
}

}  // namespace quell
