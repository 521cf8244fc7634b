#include "platform/win32/Win32Sound.h"

#include <windows.h>

#include <mmsystem.h>  // after windows.h, which it needs

#include "platform/win32/Unicode.h"

namespace platform::win32 {

bool Win32Sound::PlayWaveFile(const std::string& path) {
    // Synchronous, and silent (no default beep) when the file is missing or unplayable.
    return ::sndPlaySoundW(Widen(path).c_str(), SND_SYNC | SND_NODEFAULT) != FALSE;
}

}  // namespace platform::win32
