#include "platform/win32/ErrorText.h"

#include "platform/win32/Unicode.h"

namespace platform::win32 {

std::string SystemMessage(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer != nullptr ? buffer : L"", length);
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        return "Windows error " + std::to_string(code) + ".";
    }
    return Narrow(text);
}

Error LastError(const char* call, const std::string& path, DWORD code) {
    Error error;
    error.call = call;
    error.path = path;
    error.code = code;
    error.reason = SystemMessage(code);
    return error;
}

}  // namespace platform::win32
