#pragma once

#include <string>

namespace platform {

class Sound {
  public:
    virtual ~Sound() = default;
    // Plays a wave file to its end before returning; false when nothing could be played.
    virtual bool PlayWaveFile(const std::string& path) = 0;
};

}  // namespace platform
