#pragma once

#include "platform/FileSearch.h"

namespace platform::win32 {

class Win32FileSearch : public FileSearch {
  public:
    std::string FirstFile(const std::string& path) override;
};

}  // namespace platform::win32
