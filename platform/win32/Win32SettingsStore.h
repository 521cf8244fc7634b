// Per-user settings where the classic GetSetting and SaveSetting keep them, so values written
// by earlier versions of the program are found again:
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>, one REG_SZ
// value per key.
#pragma once

#include "platform/SettingsStore.h"
#include "platform/win32/Win32Registry.h"

namespace platform::win32 {

inline constexpr const char* kSettingsRoot = "Software\\VB and VBA Program Settings";

class Win32SettingsStore : public SettingsStore {
  public:
    // A value of another type, or one that can't be read, reads as absent.
    std::optional<std::string> GetSetting(const std::string& appName, const std::string& section,
                                          const std::string& key) override;
    Status SaveSetting(const std::string& appName, const std::string& section,
                       const std::string& key, const std::string& value) override;

    static std::string KeyPath(const std::string& appName, const std::string& section);

  private:
    Win32Registry registry_;
};

}  // namespace platform::win32
