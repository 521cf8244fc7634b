// Picture boxes a painter draws (the splash picture, the about banner), and the controls
// that sit on them.
#include "platform/win32/DesignedWindow.h"

namespace platform::win32 {
namespace {

using quell::design::ControlKind;

}  // namespace

const Painter* DesignedWindow::PainterFor(const Control& picture) const {
    if (painters_ == nullptr || picture.design->picture.empty()) {
        return nullptr;
    }
    const auto found = painters_->find(picture.design->picture);
    return found != painters_->end() ? &found->second : nullptr;
}

const DesignedWindow::Control* DesignedWindow::PictureBehind(const Control& control) const {
    if (control.design->parent.empty()) {
        return nullptr;
    }
    for (const Control& candidate : controls_) {
        if (candidate.design->name == control.design->parent) {
            return candidate.design->kind == ControlKind::PictureBox &&
                           PainterFor(candidate) != nullptr
                       ? &candidate
                       : nullptr;
        }
    }
    return nullptr;
}

void DesignedWindow::PaintPicturesBehind() {
    for (std::size_t index = 0; index < controls_.size(); ++index) {
        if (controls_[index].design->parent.empty()) {
            continue;
        }
        // Looked up at each paint: painters may be registered after the window is built.
        controls_[index].Reflection().SetBackground([this, index](HDC dc) {
            const Control* picture = PictureBehind(controls_[index]);
            if (picture == nullptr) {
                return false;
            }
            const auto pictureIndex = static_cast<std::size_t>(picture - controls_.data());
            PaintPicture(*picture, dc,
                         {layout_[pictureIndex].left - layout_[index].left,
                          layout_[pictureIndex].top - layout_[index].top});
            return true;
        });
    }
}

void DesignedWindow::PaintPicture(const Control& picture, HDC dc, POINT origin) const {
    const Painter* painter = PainterFor(picture);
    if (painter == nullptr) {
        return;
    }
    const auto index = static_cast<std::size_t>(&picture - controls_.data());
    const RECT client{0, 0, layout_[index].right - layout_[index].left,
                      layout_[index].bottom - layout_[index].top};
    POINT previous{};
    ::SetViewportOrgEx(dc, origin.x, origin.y, &previous);
    (*painter)(dc, client, dpi_);
    ::SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
}

bool DesignedWindow::OnControlMouseMove(Control& control, LPARAM position) {
    if (control.design->kind != ControlKind::PictureBox) {
        return false;
    }
    OnMouseMove(PositionOf(control), position);
    return true;
}

bool DesignedWindow::OnControlPaint(Control& control, HWND hwnd) {
    if (control.design->kind != ControlKind::PictureBox) {
        return false;
    }
    const PaintDc dc(hwnd);
    RECT client{};
    ::GetClientRect(hwnd, &client);
    ::FillRect(dc.get(), &client, ::GetSysColorBrush(COLOR_BTNFACE));
    PaintPicture(control, dc.get(), {0, 0});
    return true;
}

}  // namespace platform::win32
