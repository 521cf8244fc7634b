#pragma once

#include <memory>

#include "platform/Skin.h"

namespace quell {

bool IsNT6OrLater(platform::SkinPlatform& system);

class modSkin {
  public:
    explicit modSkin(platform::SkinPlatform& system) : system_(system) {}

    // Stops process-wide skinning on NT 6 and later; every failure is ignored.
    void StopGlobalSkin();

  private:
    platform::SkinPlatform& system_;
    std::unique_ptr<platform::SkinEngine> objSkinEngine;
};

}  // namespace quell
