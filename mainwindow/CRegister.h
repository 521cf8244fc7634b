// The small registry layer beneath the browser's Tools-menu entry.
#pragma once

#include <string>
#include <string_view>

#include "platform/Registry.h"

namespace quell::CRegister {

// The value name that stands for the key's default (unnamed) value.
inline constexpr std::string_view kDefaultValue = "*";

// Drops one leading "\" and then one trailing "\", if present.
std::string NormalizeKeyPath(std::string_view path);

// Creates the key when absent and writes the REG_SZ value.
platform::Status SetRegString(platform::Registry& registry, platform::RootKey root,
                              const std::string& path, const std::string& valueName,
                              const std::string& text);

// Deletes the value; an empty value name deletes the whole key, whose path is then taken as
// given. Deleting what is absent succeeds.
platform::Status DeleteRegEntry(platform::Registry& registry, platform::RootKey root,
                                const std::string& path, const std::string& valueName);

}  // namespace quell::CRegister
