#include "mainwindow/CRegister.h"

namespace quell::CRegister {
namespace {

std::string ValueName(const std::string& valueName) {
    return valueName == kDefaultValue ? std::string() : valueName;
}

}  // namespace

std::string NormalizeKeyPath(std::string_view path) {
    if (!path.empty() && path.front() == '\\') {
        path.remove_prefix(1);
    }
    if (!path.empty() && path.back() == '\\') {
        path.remove_suffix(1);
    }
    return std::string(path);
}

platform::Status SetRegString(platform::Registry& registry, platform::RootKey root,
                              const std::string& path, const std::string& valueName,
                              const std::string& text) {
    return registry.SetString(root, NormalizeKeyPath(path), ValueName(valueName), text);
}

platform::Status DeleteRegEntry(platform::Registry& registry, platform::RootKey root,
                                const std::string& path, const std::string& valueName) {
    if (valueName.empty()) {
        return registry.DeleteKey(root, path);
    }
    return registry.DeleteValue(root, NormalizeKeyPath(path), ValueName(valueName));
}

}  // namespace quell::CRegister
