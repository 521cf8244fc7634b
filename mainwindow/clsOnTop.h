// Moving windows into and out of the topmost band of the z-order, never moving or sizing them.
#pragma once

#include "platform/Form.h"
#include "platform/WindowZOrder.h"

namespace quell {

class clsOnTop final : public platform::TopmostBand {
  public:
    explicit clsOnTop(platform::WindowZOrder& zorder) : zorder_(zorder) {}

    void MakeNormal(platform::WindowHandle hWnd) override;
    void MakeTopMost(platform::WindowHandle hWnd) override;

  private:
    platform::WindowZOrder& zorder_;
};

namespace modOnTop {
// True: the window joins the topmost band; anything else: it leaves it.
void SetFormTopmost(platform::WindowZOrder& zorder, const platform::Form& form, bool topmost);
}  // namespace modOnTop

}  // namespace quell
