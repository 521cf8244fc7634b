#include "platform/win32/Win32Registry.h"

#include "platform/win32/ErrorText.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Unicode.h"

namespace platform::win32 {
namespace {

bool IsAbsent(LONG result) {
    return result == ERROR_FILE_NOT_FOUND || result == ERROR_PATH_NOT_FOUND;
}

// A NUL inside a path or name would silently address a shorter one.
bool HasNul(const std::string& text) {
    return text.find('\0') != std::string::npos;
}

Error Failed(const char* call, RootKey root, const std::string& path, LONG result) {
    return LastError(call, FullKeyName(root, path), static_cast<DWORD>(result));
}

REGSAM ViewFlag(RegistryView view) {
    if (view == RegistryView::Bits32) {
        return KEY_WOW64_32KEY;
    }
    return view == RegistryView::Bits64 ? KEY_WOW64_64KEY : 0;
}

UniqueRegKey OpenKey(RootKey root, const std::string& path, REGSAM access, LONG& result) {
    HKEY key = nullptr;
    result = ::RegOpenKeyExW(RootHandle(root), Widen(path).c_str(), 0, access, &key);
    return UniqueRegKey(result == ERROR_SUCCESS ? key : nullptr);
}

UniqueRegKey CreateOrOpenKey(RootKey root, const std::string& path, REGSAM access, LONG& result) {
    HKEY key = nullptr;
    result = ::RegCreateKeyExW(RootHandle(root), Widen(path).c_str(), 0, nullptr,
                               REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr);
    return UniqueRegKey(result == ERROR_SUCCESS ? key : nullptr);
}

// Whether a delete that failed had anything to delete: a user without write rights asking to
// remove what is not there has lost nothing.
bool Exists(RootKey root, const std::string& path, REGSAM view, const std::wstring* valueName) {
    LONG result = ERROR_SUCCESS;
    const UniqueRegKey key = OpenKey(root, path, KEY_QUERY_VALUE | view, result);
    if (IsAbsent(result)) {
        return false;
    }
    if (!key || valueName == nullptr) {
        return true;
    }
    return !IsAbsent(
        ::RegQueryValueExW(key.get(), valueName->c_str(), nullptr, nullptr, nullptr, nullptr));
}

}  // namespace

HKEY RootHandle(RootKey root) {
    switch (root) {
        case RootKey::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RootKey::CurrentUser:
            return HKEY_CURRENT_USER;
        case RootKey::LocalMachine:
            return HKEY_LOCAL_MACHINE;
    }
    return nullptr;
}

Win32Registry::Win32Registry(RegistryView view) : view_(ViewFlag(view)) {}

Status Win32Registry::CreateKey(RootKey root, const std::string& path) {
    if (HasNul(path)) {
        return Failed("RegCreateKeyExW", root, path, ERROR_INVALID_PARAMETER);
    }
    LONG result = ERROR_SUCCESS;
    CreateOrOpenKey(root, path, KEY_QUERY_VALUE | view_, result);
    if (result != ERROR_SUCCESS) {
        return Failed("RegCreateKeyExW", root, path, result);
    }
    return Status::Ok();
}

Status Win32Registry::SetString(RootKey root, const std::string& path, const std::string& name,
                                const std::string& data) {
    if (HasNul(path) || HasNul(name)) {
        return Failed("RegSetValueExW", root, path, ERROR_INVALID_PARAMETER);
    }
    LONG result = ERROR_SUCCESS;
    const UniqueRegKey key = CreateOrOpenKey(root, path, KEY_SET_VALUE | view_, result);
    if (!key) {
        return Failed("RegCreateKeyExW", root, path, result);
    }
    const std::wstring wide = Widen(data);
    // The terminating NUL is stored too, as readers that ignore the byte count expect.
    const DWORD bytes = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));
    result = ::RegSetValueExW(key.get(), Widen(name).c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(wide.c_str()), bytes);
    if (result != ERROR_SUCCESS) {
        return Failed("RegSetValueExW", root, path, result);
    }
    return Status::Ok();
}

std::optional<std::string> Win32Registry::GetString(RootKey root, const std::string& path,
                                                    const std::string& name) {
    if (HasNul(path) || HasNul(name)) {
        return std::nullopt;
    }
    LONG result = ERROR_SUCCESS;
    const UniqueRegKey key = OpenKey(root, path, KEY_QUERY_VALUE | view_, result);
    if (!key) {
        return std::nullopt;
    }
    const std::wstring wideName = Widen(name);
    // Another writer may lengthen the value between the size query and the read.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0;
        DWORD bytes = 0;
        result = ::RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type, nullptr, &bytes);
        if (result != ERROR_SUCCESS || type != REG_SZ) {
            return std::nullopt;
        }
        // Rounded up: an odd byte count must not lose its last byte.
        std::wstring text((bytes + 1) / sizeof(wchar_t), L'\0');
        result = ::RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(text.data()), &bytes);
        if (result == ERROR_MORE_DATA) {
            continue;
        }
        if (result != ERROR_SUCCESS || type != REG_SZ) {
            return std::nullopt;
        }
        text.resize(bytes / sizeof(wchar_t));
        const std::size_t nul = text.find(L'\0');
        if (nul != std::wstring::npos) {
            text.resize(nul);
        }
        return Narrow(text);
    }
    return std::nullopt;
}

Status Win32Registry::DeleteValue(RootKey root, const std::string& path, const std::string& name) {
    if (HasNul(path) || HasNul(name)) {
        return Failed("RegDeleteValueW", root, path, ERROR_INVALID_PARAMETER);
    }
    const std::wstring wideName = Widen(name);
    LONG result = ERROR_SUCCESS;
    const char* call = "RegOpenKeyExW";
    if (const UniqueRegKey key = OpenKey(root, path, KEY_SET_VALUE | view_, result)) {
        call = "RegDeleteValueW";
        result = ::RegDeleteValueW(key.get(), wideName.c_str());
    }
    if (result == ERROR_SUCCESS || IsAbsent(result) || !Exists(root, path, view_, &wideName)) {
        return Status::Ok();
    }
    return Failed(call, root, path, result);
}

Status Win32Registry::DeleteKey(RootKey root, const std::string& path) {
    if (path.empty() || HasNul(path)) {
        return Failed("RegDeleteKeyExW", root, path, ERROR_INVALID_PARAMETER);
    }
    const LONG result = ::RegDeleteKeyExW(RootHandle(root), Widen(path).c_str(), view_, 0);
    if (result == ERROR_SUCCESS || IsAbsent(result) || !Exists(root, path, view_, nullptr)) {
        return Status::Ok();
    }
    return Failed("RegDeleteKeyExW", root, path, result);
}

}  // namespace platform::win32
