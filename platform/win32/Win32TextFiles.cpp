#include "platform/win32/Win32TextFiles.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <vector>

#include "platform/win32/ErrorText.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Unicode.h"

namespace platform::win32 {
namespace {

// Text is converted a piece at a time, so that no conversion call is asked to count past
// INT_MAX and no second copy of a whole big list is held as UTF-16.
constexpr std::size_t kPieceBytes = 1 << 20;
// One WriteFile takes a DWORD count; a gigabyte at a time stays far from it.
constexpr std::size_t kLargestWrite = 1 << 30;

Error Unrepresentable(const std::string& path, std::string character) {
    Error error;
    error.kind = ErrorKind::Unrepresentable;
    error.call = "WideCharToMultiByte";
    error.path = path;
    error.code = ::GetACP();
    error.reason = std::move(character);
    return error;
}

Error TooLarge(const char* call, const std::string& path, std::uint64_t bytes) {
    Error error = LastError(call, path, ERROR_FILE_TOO_LARGE);
    error.reason = "It holds " + std::to_string(bytes >> 20) + " MB; a list file may hold " +
                   std::to_string(kLargestTextFile >> 20) + " MB at most.";
    return error;
}

// Calls `convert` on pieces of about kPieceBytes that each end after a CR or an LF. Those
// bytes are never part of a longer character, in any ANSI code page nor in UTF-8.
template <class Convert>
bool ForEachPiece(std::string_view text, Convert&& convert) {
    while (!text.empty()) {
        std::size_t end = text.size();
        if (end > kPieceBytes) {
            const std::size_t lineEnd = text.find_first_of("\r\n", kPieceBytes);
            end = lineEnd == std::string_view::npos ? text.size() : lineEnd + 1;
        }
        if (end > INT_MAX / 4 || !convert(text.substr(0, end))) {
            return false;
        }
        text.remove_prefix(end);
    }
    return true;
}

// Bytes below 0x80 are the same characters in every ANSI code page and in UTF-8: most lists
// need no conversion at all.
bool IsAscii(std::string_view text) {
    unsigned char any = 0;
    for (const char c : text) {
        any |= static_cast<unsigned char>(c);
    }
    return any < 0x80;
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
        const auto chunk = static_cast<DWORD>(std::min(bytes.size(), kLargestWrite));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr)) {
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

std::wstring NameOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool PathExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A name for a rewrite's temporary file that no other file in the folder has yet.
std::wstring TemporaryName(const std::wstring& target) {
    static unsigned counter = 0;
    unsigned long long seed =
        ::GetTickCount64() * 7919 + ::GetCurrentProcessId() * 104729ull + ++counter * 15485863ull;
    std::wstring unique;
    for (std::size_t i = 0; i < kTemporaryUniqueLength; ++i) {
        unique += L"0123456789abcdefghijklmnopqrstuvwxyz"[seed % 36];
        seed /= 36;
    }
    return target + Widen(kTemporaryMark) + unique + Widen(kTemporaryEnd);
}

// The temporary file, created empty and held open for writing.
Result<UniqueFileHandle> CreateTemporary(const std::wstring& target, std::wstring& name,
                                         const std::string& path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = TemporaryName(target);
        UniqueFileHandle file(::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            return file;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS) {
            break;
        }
    }
    return LastError("CreateFileW", path);
}

struct Leftover {
    std::wstring path;
    ULONGLONG written;
};

std::vector<Leftover> TemporariesOf(const std::wstring& target) {
    const std::wstring folder = FolderOf(target);
    const std::string name = Narrow(NameOf(target));
    std::vector<Leftover> found;
    WIN32_FIND_DATAW entry{};
    const std::wstring pattern = target + Widen(kTemporaryMark) + L"*" + Widen(kTemporaryEnd);
    const UniqueFindHandle search(::FindFirstFileW(pattern.c_str(), &entry));
    if (!search) {
        return found;
    }
    do {
        // The search also matches short names; only the long name tells it is ours.
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            IsTemporaryOf(Narrow(entry.cFileName), name)) {
            found.push_back({folder + L"\\" + entry.cFileName,
                             (ULONGLONG{entry.ftLastWriteTime.dwHighDateTime} << 32) |
                                 entry.ftLastWriteTime.dwLowDateTime});
        }
    } while (::FindNextFileW(search.get(), &entry));
    return found;
}

// The bytes a file gets for a UTF-8 text: the text itself when it is ASCII, else its
// conversion, kept in `held`.
Result<std::string_view> FileBytes(std::string_view text, const std::string& path,
                                   std::string& held) {
    if (IsAscii(text)) {
        return text;
    }
    Result<std::string> ansi = ToAnsi(text, path);
    if (!ansi) {
        return ansi.error();
    }
    held = std::move(ansi).value();
    return std::string_view(held);
}

}  // namespace

Result<std::string> ToAnsi(std::string_view utf8, const std::string& path) {
    const UINT codePage = ::GetACP();
    std::string ansi;
    ansi.reserve(utf8.size());
    std::optional<Error> failure;
    const bool converted = ForEachPiece(utf8, [&](std::string_view piece) {
        if (IsAscii(piece)) {
            ansi += piece;
            return true;
        }
        if (::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, piece.data(),
                                  static_cast<int>(piece.size()), nullptr, 0) == 0) {
            failure = Unrepresentable(path, "\xEF\xBF\xBD");
            return false;
        }
        const std::wstring wide = Widen(piece);
        if (!FitsAnsi(wide)) {
            failure = Unrepresentable(path, FirstUnfit(wide));
            return false;
        }
        ansi += Narrow(wide, codePage);
        return true;
    });
    if (!converted) {
        return failure ? *failure : TooLarge("WideCharToMultiByte", path, utf8.size());
    }
    return ansi;
}

std::string FromAnsi(std::string_view bytes) {
    std::string utf8;
    utf8.reserve(bytes.size());
    // Pieces are bounded by the file size limit long before INT_MAX.
    (void)ForEachPiece(bytes, [&](std::string_view piece) {
        utf8 += IsAscii(piece) ? std::string(piece) : Narrow(Widen(piece, CP_ACP));
        return true;
    });
    return utf8;
}

bool Win32TextFiles::Exists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

Result<std::string> Win32TextFiles::ReadText(const std::string& path) {
    Result<std::string> bytes = ReadBytes(path);
    if (!bytes || IsAscii(bytes.value())) {
        return bytes;
    }
    return FromAnsi(bytes.value());
}

Result<std::string> Win32TextFiles::ReadBytes(const std::string& path) {
    UniqueFileHandle file(::CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return LastError("CreateFileW", path);
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) {
        return LastError("GetFileSizeEx", path);
    }
    const auto expected = static_cast<std::uint64_t>(size.QuadPart);
    if (expected > kLargestTextFile) {
        return TooLarge("GetFileSizeEx", path, expected);
    }
    // The whole file in one buffer; a file that grows meanwhile is read to its new end.
    std::string bytes(static_cast<std::size_t>(expected) + 1, '\0');
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (bytes.size() > kLargestTextFile) {
                return TooLarge("ReadFile", path, bytes.size());
            }
            bytes.resize(bytes.size() + (1 << 16));
        }
        const auto room = static_cast<DWORD>(std::min(bytes.size() - filled, kLargestWrite));
        DWORD got = 0;
        if (!::ReadFile(file.get(), bytes.data() + filled, room, &got, nullptr)) {
            return LastError("ReadFile", path);
        }
        if (got == 0) {
            break;
        }
        filled += got;
    }
    bytes.resize(filled);
    return bytes;
}

Status Win32TextFiles::AppendText(const std::string& path, std::string_view text) {
    std::string held;
    const Result<std::string_view> bytes = FileBytes(text, path, held);
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
    if (written && !::FlushFileBuffers(file.get())) {
        written = LastError("FlushFileBuffers", path);
    }
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
    std::string held;
    const Result<std::string_view> bytes = FileBytes(text, path, held);
    if (!bytes) {
        return bytes.error();
    }
    return ReplaceBytes(path, bytes.value());
}

Status Win32TextFiles::ReplaceBytes(const std::string& path, std::string_view bytes) {
    const std::wstring target = Widen(path);
    std::wstring temp;
    Result<UniqueFileHandle> created = CreateTemporary(target, temp, path);
    if (!created) {
        return created.error();
    }
    Status status = [&, file = std::move(created).value()] {
        Status written = WriteAll(file.get(), bytes, path);
        if (written && !::FlushFileBuffers(file.get())) {
            return Status(LastError("FlushFileBuffers", path));
        }
        return written;
    }();
    if (!status) {
        ::DeleteFileW(temp.c_str());
        return status;
    }
    constexpr DWORD kMoveFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (!PathExists(target)) {
        if (ops_.move(temp.c_str(), target.c_str(), kMoveFlags)) {
            return Status::Ok();
        }
        status = LastError("MoveFileExW", path);
        ::DeleteFileW(temp.c_str());
        return status;
    }
    // ReplaceFileW keeps the list file's attributes and security.
    if (ops_.replace(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr)) {
        return Status::Ok();
    }
    const DWORD failed = ::GetLastError();
    if (failed != ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
        failed != ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        ::DeleteFileW(temp.c_str());
        return LastError("ReplaceFileW", path, failed);
    }
    // The old file is gone or renamed and the temporary file is the only copy of the list.
    if (ops_.move(temp.c_str(), target.c_str(), kMoveFlags)) {
        return Status::Ok();
    }
    Error error = LastError("MoveFileExW", path);
    error.reason += " The list is kept in " + Narrow(NameOf(temp)) + ", which takes the place of " +
                    Narrow(NameOf(target)) + " at the next start.";
    return error;
}

Status Win32TextFiles::Recover(const std::string& path) {
    const std::wstring target = Widen(path);
    std::vector<Leftover> leftovers = TemporariesOf(target);
    if (leftovers.empty()) {
        return Status::Ok();
    }
    if (!PathExists(target)) {
        const auto newest = std::max_element(
            leftovers.begin(), leftovers.end(),
            [](const Leftover& a, const Leftover& b) { return a.written < b.written; });
        if (!::MoveFileExW(newest->path.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
            return LastError("MoveFileExW", path);  // every copy stays for the next try
        }
        leftovers.erase(newest);
    }
    Status status;
    for (const Leftover& leftover : leftovers) {
        if (!::DeleteFileW(leftover.path.c_str()) && status) {
            status = LastError("DeleteFileW", Narrow(leftover.path));
        }
    }
    return status;
}

}  // namespace platform::win32
