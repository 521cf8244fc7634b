#include "platform/win32/ProgramInfo.h"

#include <windows.h>

#include <vector>

#include "platform/win32/Unicode.h"

namespace platform::win32 {
namespace {

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // long paths: try a larger buffer
    }
}

std::string QueryString(const std::vector<BYTE>& block, const std::wstring& translation,
                        const wchar_t* name) {
    const std::wstring query = L"\\StringFileInfo\\" + translation + L"\\" + name;
    wchar_t* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) ||
        value == nullptr) {
        return {};
    }
    std::wstring_view text(value, length);
    while (!text.empty() && text.back() == L'\0') {
        text.remove_suffix(1);
    }
    return Narrow(text);
}

}  // namespace

std::string ProgramFolder() {
    const std::wstring path = ModulePath();
    return Narrow(path.substr(0, path.find_last_of(L"\\/")));
}

std::string ProgramPath() {
    const std::wstring path = ModulePath();
    const std::size_t slash = path.find_last_of(L"\\/");
    std::wstring name = path.substr(slash + 1);
    const std::size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) {
        name.resize(dot);
    }
    return Narrow(path.substr(0, slash)) + "\\" + Narrow(name) + ".exe";
}

quell::ProductInfo Win32VersionSource::Read() {
    if (!read_) {
        read_ = ReadFromFile();
    }
    return *read_;
}

quell::ProductInfo Win32VersionSource::ReadFromFile() const {
    const std::wstring path = path_.empty() ? ModulePath() : Widen(path_);
    quell::ProductInfo info;
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) {
        return info;
    }
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data())) {
        return info;
    }
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translations = nullptr;
    UINT length = 0;
    std::wstring translation = L"040904B0";
    if (::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                         reinterpret_cast<void**>(&translations), &length) &&
        length >= sizeof(Translation)) {
        wchar_t text[9];
        ::wsprintfW(text, L"%04X%04X", translations[0].language, translations[0].codePage);
        translation = text;
    }
    info.productName = QueryString(block, translation, L"ProductName");
    info.companyName = QueryString(block, translation, L"CompanyName");
    info.comments = QueryString(block, translation, L"Comments");
    VS_FIXEDFILEINFO* fixed = nullptr;
    if (::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) &&
        fixed != nullptr) {
        info.versionMajor = HIWORD(fixed->dwProductVersionMS);
        info.versionMinor = LOWORD(fixed->dwProductVersionMS);
    }
    return info;
}

}  // namespace platform::win32
