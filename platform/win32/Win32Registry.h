// The registry through the W functions; text is UTF-8 in the core, UTF-16 here.
#pragma once

#include <windows.h>

#include "platform/Registry.h"

namespace platform::win32 {

// The predefined handle of a root key (sign-extended on 64-bit Windows, so not a plain cast).
HKEY RootHandle(RootKey root);

// Every key is opened, created and deleted in one view.
class Win32Registry : public Registry {
  public:
    explicit Win32Registry(RegistryView view = RegistryView::Native);

    Status CreateKey(RootKey root, const std::string& path) override;
    Status SetString(RootKey root, const std::string& path, const std::string& name,
                     const std::string& data) override;
    std::optional<std::string> GetString(RootKey root, const std::string& path,
                                         const std::string& name) override;
    Status DeleteValue(RootKey root, const std::string& path, const std::string& name) override;
    Status DeleteKey(RootKey root, const std::string& path) override;

  private:
    REGSAM view_;
};

}  // namespace platform::win32
