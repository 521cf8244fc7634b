#include "platform/standin/RequestLog.h"

#include <algorithm>

#include "platform/standin/Options.h"
#include "platform/win32/Unicode.h"

namespace standin {
namespace {

// A control character in an address would split or forge a line: it is written %XX.
std::string LogSafe(std::wstring_view url) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string safe;
    for (const char c : platform::win32::Narrow(url)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            safe += {'%', kHex[byte >> 4], kHex[byte & 0xF]};
        } else {
            safe += c;
        }
    }
    return safe;
}

}  // namespace

std::string RequestLogLine(const RequestRecord& record) {
    return "request=" + std::to_string(record.request) +
           " events=" + std::string(Describe(record.mode).logText) +
           " cancel=" + (record.cancel ? "1" : "0") + " opened=" + (record.opened ? "1" : "0") +
           " sinks=" + std::to_string(record.sinks) + " us=" + std::to_string(record.microseconds) +
           " url=" + LogSafe(record.url);
}

std::string BurstLogLine(std::vector<long long> microseconds, int blocked) {
    long long total = 0;
    for (const long long one : microseconds) {
        total += one;
    }
    std::sort(microseconds.begin(), microseconds.end());
    const long long median = microseconds.empty() ? 0 : microseconds[(microseconds.size() - 1) / 2];
    const long long perSecond =
        total > 0 ? static_cast<long long>(microseconds.size()) * 1000000 / total : 0;
    return "burst requests=" + std::to_string(microseconds.size()) +
           " blocked=" + std::to_string(blocked) + " us=" + std::to_string(total) +
           " median-us=" + std::to_string(median) + " per-second=" + std::to_string(perSecond);
}

std::string ExitLogLine(long liveObjects) {
    return "exit live-objects=" + std::to_string(liveObjects);
}

bool RequestLog::Open(const std::wstring& path) {
    if (path.empty()) {
        return true;
    }
    // Readers in other processes open the file while it is written.
    file_.reset(::CreateFileW(path.c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file_);
}

void RequestLog::Append(std::string_view line) {
    if (!file_) {
        return;
    }
    const std::string text = std::string(line) + "\r\n";
    DWORD written = 0;
    ::WriteFile(file_.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace standin
