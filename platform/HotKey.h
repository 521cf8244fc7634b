#pragma once

#include "platform/Form.h"

namespace platform {

// The global hot key Windows key + Z on the main window, carried out of its window procedure
// as a mouse move of the target window, so the toggle runs after the hot-key message.
class HotKeyHook {
  public:
    virtual ~HotKeyHook() = default;
    // Installs the hook; false when the key could not be registered (another program or the
    // shell holds it). The hook is installed either way.
    virtual bool Install(WindowHandle mainWindow, WindowHandle target) = 0;
    // Removing twice does no harm.
    virtual void Remove() = 0;
};

}  // namespace platform
