#include "store/Settings.h"

#include <charconv>
#include <optional>

namespace quell {
namespace {

// A whole decimal number, blanks around it allowed; nothing for a word, a fraction or a
// number too large.
std::optional<long long> ParseWhole(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

Settings::Settings(platform::SettingsStore& store, std::string appName, std::string publisherHost)
    : store_(store), appName_(std::move(appName)), publisherHost_(std::move(publisherHost)) {}

std::string Settings::Default(std::string_view key) const {
    if (key == keys::kChkStopPop || key == keys::kChkAuto || key == keys::kChkSound ||
        key == keys::kShowHelp) {
        return "1";
    }
    if (key == keys::kStrAllowed) {
        return publisherHost_ + "/programclicks.asp\r\n";
    }
    if (key == keys::kStrDisallowed) {
        return "";
    }
    if (key == keys::kState) {
        return "up";
    }
    return "0";  // chkOnTop, chkRunAtStart, chkLinks, intStopped
}

std::string Settings::GetString(std::string_view key) const {
    std::optional<std::string> stored =
        store_.GetSetting(appName_, std::string(kSettingsSection), std::string(key));
    return stored ? std::move(*stored) : Default(key);
}

int Settings::GetCheckBox(std::string_view key) const {
    const std::optional<long long> value = ParseWhole(GetString(key));
    if (value && (*value == 0 || *value == 1)) {
        return static_cast<int>(*value);
    }
    return static_cast<int>(*ParseWhole(Default(key)));
}

std::int32_t Settings::GetCounter() const {
    const std::optional<long long> value = ParseWhole(GetString(keys::kIntStopped));
    if (value && *value >= INT32_MIN && *value <= INT32_MAX) {
        return static_cast<std::int32_t>(*value);
    }
    return 0;
}

platform::Status Settings::Save(std::string_view key, const std::string& value) {
    return store_.SaveSetting(appName_, std::string(kSettingsSection), std::string(key), value);
}

}  // namespace quell
