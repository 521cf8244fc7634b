// An in-memory registry for native tests: keys and value names compare without regard to
// ASCII case, as the system's do; every write is logged; writes can be refused.
#pragma once

#include <cctype>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Registry.h"

namespace quell::testing {

class FakeRegistry : public platform::Registry {
  public:
    struct Value {
        std::string data;
        bool isString = true;  // false: another type (REG_EXPAND_SZ, REG_DWORD …)
        bool operator==(const Value&) const = default;
    };
    using Values = std::map<std::string, Value>;  // by folded name

    platform::Status CreateKey(platform::RootKey root, const std::string& path) override {
        log.push_back("CreateKey " + platform::FullKeyName(root, path));
        if (auto refused = Refused(root, path, {})) {
            return *refused;
        }
        keys[{root, Fold(path)}];
        return platform::Status::Ok();
    }
    platform::Status SetString(platform::RootKey root, const std::string& path,
                               const std::string& name, const std::string& data) override {
        log.push_back("SetString " + platform::FullKeyName(root, path) + " [" + name + "]");
        if (auto refused = Refused(root, path, name)) {
            return *refused;
        }
        keys[{root, Fold(path)}][Fold(name)] = Value{data, true};
        return platform::Status::Ok();
    }
    std::optional<std::string> GetString(platform::RootKey root, const std::string& path,
                                         const std::string& name) override {
        const Value* value = Find(root, path, name);
        if (value == nullptr || !value->isString) {
            return std::nullopt;
        }
        return value->data;
    }
    platform::Status DeleteValue(platform::RootKey root, const std::string& path,
                                 const std::string& name) override {
        log.push_back("DeleteValue " + platform::FullKeyName(root, path) + " [" + name + "]");
        if (Find(root, path, name) == nullptr) {
            return platform::Status::Ok();
        }
        if (auto refused = Refused(root, path, name)) {
            return *refused;
        }
        keys[{root, Fold(path)}].erase(Fold(name));
        return platform::Status::Ok();
    }
    platform::Status DeleteKey(platform::RootKey root, const std::string& path) override {
        log.push_back("DeleteKey " + platform::FullKeyName(root, path));
        if (path.empty()) {
            return Error(root, path, 87, "The parameter is incorrect.");
        }
        if (!HasKey(root, path)) {
            return platform::Status::Ok();
        }
        if (auto refused = Refused(root, path, {})) {
            return *refused;
        }
        const std::string prefix = Fold(path) + "\\";
        for (const auto& [where, values] : keys) {
            if (where.first == root && where.second.rfind(prefix, 0) == 0) {
                return Error(root, path, platform::kAccessDenied, "Access is denied.");  // subkeys
            }
        }
        keys.erase({root, Fold(path)});
        return platform::Status::Ok();
    }

    // Test set-up and inspection.
    bool HasKey(platform::RootKey root, const std::string& path) const {
        return keys.count({root, Fold(path)}) != 0;
    }
    const Values* KeyValues(platform::RootKey root, const std::string& path) const {
        auto found = keys.find({root, Fold(path)});
        return found == keys.end() ? nullptr : &found->second;
    }
    void PutOther(platform::RootKey root, const std::string& path, const std::string& name,
                  const std::string& data) {
        keys[{root, Fold(path)}][Fold(name)] = Value{data, false};
    }
    // The error a refused write reports, as the system's calls give it.
    static platform::Error Refusal(std::uint32_t code, const char* reason,
                                   const char* call = "RegSetValueExW") {
        return {platform::ErrorKind::Io, call, "", code, reason, ""};
    }
    static platform::Error AccessDenied() {
        return Refusal(platform::kAccessDenied, "Access is denied.", "RegCreateKeyExW");
    }

    // Every write under one of these roots fails with its error.
    std::map<platform::RootKey, platform::Error> refusedRoots;
    // Decides whether a write (root, path, value name; empty name for key operations) fails.
    std::function<std::optional<platform::Error>(platform::RootKey, const std::string&,
                                                 const std::string&)>
        refuse;
    std::map<std::pair<platform::RootKey, std::string>, Values> keys;  // by folded path
    std::vector<std::string> log;

  private:
    static std::string Fold(std::string text) {
        for (char& c : text) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return text;
    }
    static platform::Error Error(platform::RootKey root, const std::string& path,
                                 std::uint32_t code, const char* reason) {
        return {
            platform::ErrorKind::Io, "fake", platform::FullKeyName(root, path), code, reason, ""};
    }
    std::optional<platform::Error> Refused(platform::RootKey root, const std::string& path,
                                           const std::string& name) const {
        if (auto found = refusedRoots.find(root); found != refusedRoots.end()) {
            return found->second;
        }
        return refuse ? refuse(root, path, name) : std::nullopt;
    }
    const Value* Find(platform::RootKey root, const std::string& path,
                      const std::string& name) const {
        const Values* values = KeyValues(root, path);
        if (values == nullptr) {
            return nullptr;
        }
        auto found = values->find(Fold(name));
        return found == values->end() ? nullptr : &found->second;
    }
};

}  // namespace quell::testing
