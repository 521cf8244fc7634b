#pragma once

#include "platform/Sound.h"

namespace platform::win32 {

class Win32Sound final : public Sound {
  public:
    bool PlayWaveFile(const std::string& path) override;
};

}  // namespace platform::win32
