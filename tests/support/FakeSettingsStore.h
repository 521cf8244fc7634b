#pragma once

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/SettingsStore.h"

namespace quell::testing {

// An in-memory store that records the order of writes.
class FakeSettingsStore : public platform::SettingsStore {
  public:
    std::optional<std::string> GetSetting(const std::string& app, const std::string& section,
                                          const std::string& key) override {
        reads.push_back(key);
        auto found = values.find({app, section, key});
        if (found == values.end()) {
            return std::nullopt;
        }
        return found->second;
    }
    platform::Status SaveSetting(const std::string& app, const std::string& section,
                                 const std::string& key, const std::string& value) override {
        writes.push_back(key);
        values[{app, section, key}] = value;
        return platform::Status::Ok();
    }
    // The value under the product's "Settings" section, or "<absent>".
    std::string Value(const std::string& key, const std::string& app = "QuellPane") const {
        auto found = values.find({app, "Settings", key});
        return found == values.end() ? "<absent>" : found->second;
    }
    void Put(const std::string& key, const std::string& value,
             const std::string& app = "QuellPane") {
        values[{app, "Settings", key}] = value;
    }

    std::map<std::tuple<std::string, std::string, std::string>, std::string> values;
    std::vector<std::string> reads;
    std::vector<std::string> writes;
};

}  // namespace quell::testing
