// The per-user store of named string values, addressed by application, section and key.
#pragma once

#include <optional>
#include <string>

#include "platform/Result.h"

namespace platform {

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // The stored string, or nothing when the key has never been written (or can't be read).
    virtual std::optional<std::string> GetSetting(const std::string& appName,
                                                  const std::string& section,
                                                  const std::string& key) = 0;
    // Creates or replaces the value; application and section are created as needed.
    virtual Status SaveSetting(const std::string& appName, const std::string& section,
                               const std::string& key, const std::string& value) = 0;
};

}  // namespace platform
