#include "blocker/modPlaySound.h"

#include "platform/Path.h"

namespace quell::modPlaySound {

std::string SoundFilePath(std::string_view programFolder) {
    std::string path(programFolder);
    path += platform::kPathSeparator;
    path += "sounds";
    path += platform::kPathSeparator;
    path += "pop.wav";
    return path;
}

void PlaySoundFile(platform::Sound& sound, const std::string& path) {
    (void)sound.PlayWaveFile(path);
}

}  // namespace quell::modPlaySound
