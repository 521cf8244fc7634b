#include "platform/win32/Win32Toolkit.h"

#include <utility>

namespace platform::win32 {

Win32Toolkit::Win32Toolkit(HINSTANCE resources) : resources_(resources) {}

std::unique_ptr<Form> Win32Toolkit::CreateForm(const quell::design::WindowDesign& design) {
    return CreateDesignedWindow(design);
}

std::unique_ptr<DesignedWindow> Win32Toolkit::CreateDesignedWindow(
    const quell::design::WindowDesign& design) {
    return std::make_unique<DesignedWindow>(design, resources_, painters_);
}

void Win32Toolkit::RegisterPainter(std::string name, Painter painter) {
    (*painters_)[std::move(name)] = std::move(painter);
}

}  // namespace platform::win32
