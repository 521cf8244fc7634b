// The program's settings: every key with its default, read and written through the per-user
// store under the product name, section "Settings".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/SettingsStore.h"

namespace quell {

namespace keys {
inline constexpr std::string_view kChkStopPop = "chkStopPop";        // Check1
inline constexpr std::string_view kChkAuto = "chkAuto";              // Check2
inline constexpr std::string_view kChkOnTop = "chkOnTop";            // Check3
inline constexpr std::string_view kChkRunAtStart = "chkRunAtStart";  // Check4
inline constexpr std::string_view kChkSound = "chkSound";            // Check5
inline constexpr std::string_view kChkLinks = "chkLinks";            // Check6
inline constexpr std::string_view kIntStopped = "intStopped";
inline constexpr std::string_view kStrAllowed = "strAllowed";
inline constexpr std::string_view kStrDisallowed = "strDisallowed";
inline constexpr std::string_view kState = "state";
inline constexpr std::string_view kShowHelp = "showHelp";
}  // namespace keys

inline constexpr std::string_view kSettingsSection = "Settings";

// The longest list text kept as a copy in the settings: in the registry's UTF-16 that is
// 1 MB, the most one value can practically hold.
inline constexpr std::size_t kLargestListCopy = 512 * 1024;

class Settings {
  public:
    // `publisherHost` goes into the default of "strAllowed".
    Settings(platform::SettingsStore& store, std::string appName, std::string publisherHost);

    // The key's default, as its decimal text for numbers ("1" for "chkStopPop").
    std::string Default(std::string_view key) const;

    // The stored string, or the key's default when absent.
    std::string GetString(std::string_view key) const;
    // A check-box key as 0 or 1; a stored value that is not exactly a number 0 or 1 reads as
    // the key's default.
    int GetCheckBox(std::string_view key) const;
    // "intStopped" as a signed 32-bit count; a word or a number outside 32 bits reads as 0.
    std::int32_t GetCounter() const;

    platform::Status Save(std::string_view key, const std::string& value);
    platform::Status SaveNumber(std::string_view key, long long value) {
        return Save(key, std::to_string(value));
    }

    const std::string& appName() const { return appName_; }

  private:
    platform::SettingsStore& store_;
    std::string appName_;
    std::string publisherHost_;
};

}  // namespace quell
