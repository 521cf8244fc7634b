// The directory search of the classic runtime with default attributes.
#pragma once

#include <string>

namespace platform {

class FileSearch {
  public:
    virtual ~FileSearch() = default;
    // The name (without folder) of the first ordinary file matching the path, which may hold
    // wildcards; folders, hidden and system files never match. Empty when nothing matches or
    // the search itself fails (an invalid path, a drive that is not ready).
    virtual std::string FirstFile(const std::string& path) = 0;
};

}  // namespace platform
