#include "platform/win32/Win32SettingsStore.h"

namespace platform::win32 {

std::string Win32SettingsStore::KeyPath(const std::string& appName, const std::string& section) {
    return std::string(kSettingsRoot) + "\\" + appName + "\\" + section;
}

std::optional<std::string> Win32SettingsStore::GetSetting(const std::string& appName,
                                                          const std::string& section,
                                                          const std::string& key) {
    return registry_.GetString(RootKey::CurrentUser, KeyPath(appName, section), key);
}

Status Win32SettingsStore::SaveSetting(const std::string& appName, const std::string& section,
                                       const std::string& key, const std::string& value) {
    return registry_.SetString(RootKey::CurrentUser, KeyPath(appName, section), key, value);
}

}  // namespace platform::win32
