#include "platform/win32/Win32TextFiles.h"

#include <windows.h>

#include "platform/win32/ErrorText.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Unicode.h"

namespace platform::win32 {
namespace {

Error Unrepresentable(const std::string& path, std::string character) {
    Error error;
    error.kind = ErrorKind::Unrepresentable;
    error.call = "WideCharToMultiByte";
    error.path = path;
    error.code = ::GetACP();
    error.reason = std::move(character);
    return error;
}

// True when every character of the UTF-16 text has a byte form in the ANSI code page.
bool FitsAnsi(std::wstring_view wide) {
    if (::GetACP() == CP_UTF8) {
        return true;  // cannot report a default char, and needs none
    }
    BOOL usedDefault = FALSE;
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                          nullptr, 0, nullptr, &usedDefault);
    return usedDefault == FALSE;
}

// The first character (a surrogate pair counts as one) that the code page cannot hold.
std::string FirstUnfit(std::wstring_view wide) {
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const std::size_t length = IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() ? 2 : 1;
        if (!FitsAnsi(wide.substr(i, length))) {
            return Narrow(wide.substr(i, length));
        }
        i += length - 1;
    }
    return {};
}

Status WriteAll(HANDLE file, std::string_view bytes, const std::string& path) {
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
            return LastError("WriteFile", path);
        }
        if (written == 0) {
            return LastError("WriteFile", path, ERROR_DISK_FULL);
        }
        bytes.remove_prefix(written);
    }
    return Status::Ok();
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

}  // namespace

Result<std::string> ToAnsi(std::string_view utf8, const std::string& path) {
    if (utf8.empty()) {
        return std::string();
    }
    if (::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                              static_cast<int>(utf8.size()), nullptr, 0) == 0) {
        return Unrepresentable(path, "\xEF\xBF\xBD");
    }
    const std::wstring wide = Widen(utf8);
    if (!FitsAnsi(wide)) {
        return Unrepresentable(path, FirstUnfit(wide));
    }
    return Narrow(wide, CP_ACP);
}

std::string FromAnsi(std::string_view bytes) {
    return Narrow(Widen(bytes, CP_ACP));
}

bool Win32TextFiles::Exists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

Result<std::string> Win32TextFiles::ReadText(const std::string& path) {
    UniqueFileHandle file(::CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return LastError("CreateFileW", path);
    }
    std::string bytes;
    char buffer[16384];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
            return LastError("ReadFile", path);
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer, got);
    }
    return FromAnsi(bytes);
}

Status Win32TextFiles::AppendText(const std::string& path, std::string_view text) {
    Result<std::string> bytes = ToAnsi(text, path);
    if (!bytes) {
        return bytes.error();
    }
    const std::wstring widePath = Widen(path);
    UniqueFileHandle file(::CreateFileW(widePath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return LastError("CreateFileW", path);
    }
    const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    LARGE_INTEGER end{};
    if (!::SetFilePointerEx(file.get(), LARGE_INTEGER{}, &end, FILE_END)) {
        return LastError("SetFilePointerEx", path);
    }
    Status written = WriteAll(file.get(), bytes.value(), path);
    if (!written) {
        // A half-written line would corrupt the list: put the file back as it was.
        if (existed) {
            ::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN);
            ::SetEndOfFile(file.get());
        } else {
            file.reset();
            ::DeleteFileW(widePath.c_str());
        }
    }
    return written;
}

Status Win32TextFiles::ReplaceText(const std::string& path, std::string_view text) {
    Result<std::string> bytes = ToAnsi(text, path);
    if (!bytes) {
        return bytes.error();
    }
    const std::wstring target = Widen(path);
    wchar_t temp[MAX_PATH + 1] = {};
    if (::GetTempFileNameW(FolderOf(target).c_str(), L"qp", 0, temp) == 0) {
        return LastError("GetTempFileNameW", path);
    }
    Status status = [&]() -> Status {
        UniqueFileHandle file(::CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            return LastError("CreateFileW", path);
        }
        Status written = WriteAll(file.get(), bytes.value(), path);
        if (written && !::FlushFileBuffers(file.get())) {
            return LastError("FlushFileBuffers", path);
        }
        return written;
    }();
    if (status) {
        // ReplaceFileW keeps the list file's attributes and security; a new list has none.
        const bool replaced =
            ::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES
                ? ::ReplaceFileW(target.c_str(), temp, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                 nullptr, nullptr) != 0
                : ::MoveFileExW(temp, target.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        if (!replaced) {
            status = LastError("ReplaceFileW", path);
        }
    }
    if (!status) {
        ::DeleteFileW(temp);
    }
    return status;
}

}  // namespace platform::win32
