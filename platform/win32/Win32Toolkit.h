// The Win32 window toolkit: forms built from design tables, sharing one table of painters.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/Form.h"
#include "platform/win32/DesignedWindow.h"

namespace platform::win32 {

class Win32Toolkit final : public Toolkit {
  public:
    // Icons and button pictures come from `resources` (the program's own module by default).
    explicit Win32Toolkit(HINSTANCE resources = ::GetModuleHandleW(nullptr));

    std::unique_ptr<Form> CreateForm(const quell::design::WindowDesign& design) override;
    // The same form with its Windows side (handles, popup menus).
    std::unique_ptr<DesignedWindow> CreateDesignedWindow(const quell::design::WindowDesign& design);

    // Picture boxes whose `picture` is `name` are drawn by `painter`, in every form of this
    // toolkit, also those created before.
    void RegisterPainter(std::string name, Painter painter);

  private:
    HINSTANCE resources_;
    std::shared_ptr<PainterTable> painters_ = std::make_shared<PainterTable>();
};

}  // namespace platform::win32
