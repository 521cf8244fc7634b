// The operating system's version, and the process-wide skin engine that some window designs
// were made with. Nothing of that engine ships with the program; stopping it is a courtesy for
// machines where another program installed it.
#pragma once

#include <memory>

namespace platform {

struct OsVersion {
    bool callSucceeded = false;
    unsigned platformId = 0;  // 2: Windows NT
    unsigned majorVersion = 0;
};

class SkinEngine {
  public:
    virtual ~SkinEngine() = default;
    virtual void StopGlobalSkinning() = 0;
};

class SkinPlatform {
  public:
    virtual ~SkinPlatform() = default;
    virtual OsVersion QueryOsVersion() = 0;
    // The engine object, or nothing when the component is not installed.
    virtual std::unique_ptr<SkinEngine> CreateSkinEngine() = 0;
};

}  // namespace platform
