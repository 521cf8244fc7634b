#pragma once

#include "platform/Shell.h"
#include "platform/Skin.h"

namespace platform::win32 {

class Win32Shell final : public Shell {
  public:
    void OpenAddress(const std::string& address) override;
};

class Win32SkinPlatform final : public SkinPlatform {
  public:
    OsVersion QueryOsVersion() override;
    std::unique_ptr<SkinEngine> CreateSkinEngine() override;
};

}  // namespace platform::win32
