// The test log: one line per popup request and one at exit, appended and written at once so
// that a driver in another process can follow it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/standin/StandInProtocol.h"
#include "platform/win32/Handles.h"

namespace standin {

struct RequestRecord {
    int request;
    RaiseMode mode;
    bool cancel;
    bool opened;
    std::size_t sinks;  // advised on the window once the request was answered
    long long microseconds;
    std::wstring_view url;
};

std::string RequestLogLine(const RequestRecord& record);
// `microseconds`: each request's time, in the order raised.
std::string BurstLogLine(std::vector<long long> microseconds, int blocked);
std::string ExitLogLine(long liveObjects);

class RequestLog {
  public:
    // Appends to `path`, creating it; an empty path keeps no log.
    bool Open(const std::wstring& path);
    void Append(std::string_view line);

  private:
    platform::win32::UniqueFileHandle file_;
};

}  // namespace standin
