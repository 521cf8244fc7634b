#include "windows/modSkin.h"

namespace quell {

bool IsNT6OrLater(platform::SkinPlatform& system) {
    const platform::OsVersion version = system.QueryOsVersion();
    return version.callSucceeded && version.platformId == 2 && version.majorVersion > 5;
}

void modSkin::StopGlobalSkin() {
    if (!IsNT6OrLater(system_)) {
        return;
    }
    if (!objSkinEngine) {
        objSkinEngine = system_.CreateSkinEngine();
        if (!objSkinEngine) {
            return;
        }
    }
    objSkinEngine->StopGlobalSkinning();
}

}  // namespace quell
