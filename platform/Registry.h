// The system registry as the core needs it: string values under three root keys. The core
// never sees an HKEY; the root keys carry their classic 32-bit handle values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace platform {

enum class RootKey : std::uint32_t {
    ClassesRoot = 0x80000000,
    CurrentUser = 0x80000001,
    LocalMachine = 0x80000002,
};

// Which tree a key is addressed in. On 64-bit Windows, 32-bit programs read a tree of their own
// under most of HKEY_LOCAL_MACHINE\Software; elsewhere, and for shared keys, both name one key.
enum class RegistryView {
    Native,  // the tree this program sees
    Bits32,
    Bits64,
};

// Error::code of a write the system refused for lack of rights (ERROR_ACCESS_DENIED).
inline constexpr std::uint32_t kAccessDenied = 5;

inline bool IsAccessDenied(const Error& error) {
    return error.kind == ErrorKind::Io && error.code == kAccessDenied;
}

inline std::string_view RootKeyName(RootKey root) {
    switch (root) {
        case RootKey::ClassesRoot:
            return "HKEY_CLASSES_ROOT";
        case RootKey::CurrentUser:
            return "HKEY_CURRENT_USER";
        case RootKey::LocalMachine:
            return "HKEY_LOCAL_MACHINE";
    }
    return "HKEY_UNKNOWN";
}

// "HKEY_CURRENT_USER\Software\X", the form a user recognises in messages.
inline std::string FullKeyName(RootKey root, std::string_view path) {
    std::string name(RootKeyName(root));
    if (!path.empty()) {
        name += '\\';
        name += path;
    }
    return name;
}

// Key paths are relative to the root, "\"-separated, without a leading "\". An empty value
// name is the key's default value. Failures carry the system's code and plain words.
class Registry {
  public:
    virtual ~Registry() = default;

    // Creates the key (and the keys above it) when absent.
    virtual Status CreateKey(RootKey root, const std::string& path) = 0;
    // Writes a REG_SZ value, creating the key when absent.
    virtual Status SetString(RootKey root, const std::string& path, const std::string& name,
                             const std::string& data) = 0;
    // A REG_SZ value up to its first NUL; nothing for another type, a missing key or value, or
    // a failed read (distinct from an empty string).
    virtual std::optional<std::string> GetString(RootKey root, const std::string& path,
                                                 const std::string& name) = 0;
    // Deleting what does not exist succeeds, even where the caller could not write there.
    virtual Status DeleteValue(RootKey root, const std::string& path, const std::string& name) = 0;
    // Deletes a key that has no subkeys. An empty path (the root itself) is refused.
    virtual Status DeleteKey(RootKey root, const std::string& path) = 0;
};

}  // namespace platform
