#pragma once

#include <string>
#include <string_view>

#include "platform/Sound.h"

namespace quell::modPlaySound {

inline constexpr std::string_view kSoundFile = "sounds\\pop.wav";

// The wave file below the program folder ("\sounds\pop.wav").
std::string SoundFilePath(std::string_view programFolder);

// Plays the file synchronously; a missing or unplayable file is silent and not reported.
void PlaySoundFile(platform::Sound& sound, const std::string& path);

}  // namespace quell::modPlaySound
