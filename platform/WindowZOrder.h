// The one window-manager call the always-on-top pieces make, and the always-on-top object
// as its users outside the main window reach it.
#pragma once

#include <cstdint>

#include "platform/Form.h"

namespace platform {

inline constexpr WindowHandle kHwndTopmost = static_cast<WindowHandle>(-1);
inline constexpr WindowHandle kHwndNoTopmost = static_cast<WindowHandle>(-2);
inline constexpr unsigned kSwpNoSize = 1;
inline constexpr unsigned kSwpNoMove = 2;

class WindowZOrder {
  public:
    virtual ~WindowZOrder() = default;
    // SetWindowPos with position and size zero; false when the call failed.
    virtual bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, unsigned flags) = 0;
};

// The always-on-top object as the windows that keep to its band see it: moves a window into
// and out of the topmost band, never moving or sizing it.
class TopmostBand {
  public:
    virtual ~TopmostBand() = default;
    virtual void MakeNormal(WindowHandle window) = 0;
    virtual void MakeTopMost(WindowHandle window) = 0;
};

}  // namespace platform
