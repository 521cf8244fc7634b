// The controls of a designed window: created from the table, and found by name, id or handle.
#include "platform/win32/DesignedWindow.h"

#include <algorithm>
#include <stdexcept>

#include "platform/win32/Unicode.h"

namespace platform::win32 {
namespace {

using quell::design::ControlKind;

}  // namespace

void DesignedWindow::Control::Attach(HWND control, UINT dpi) {
    hwnd = control;
    const ControlKind kind = design->kind;
    text.Attach(quell::design::TakesText(kind) ? control : nullptr);
    check.Attach(kind == ControlKind::CheckBox ? control : nullptr);
    list.Attach(kind == ControlKind::ListBox ? control : nullptr);
    status.Attach(kind == ControlKind::StatusBar ? control : nullptr, dpi);
    rich.Attach(kind == ControlKind::RichText ? control : nullptr);
    rows.Attach(kind == ControlKind::ListView ? control : nullptr, design->text, dpi);
}

ControlReflection& DesignedWindow::Control::Reflection() {
    switch (design->kind) {
        case ControlKind::CheckBox:
            return check;
        case ControlKind::Button:
            return button;
        case ControlKind::Label:
            return label;
        case ControlKind::ListBox:
            return list;
        case ControlKind::StatusBar:
            return status;
        default:
            return plain;
    }
}

bool DesignedWindow::CreateControls() {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        Control& control = controls_[i];
        const ControlClass windowClass = ClassFor(design_, i);
        const RECT& rect = layout_[i];
        const HWND hwnd = ::CreateWindowExW(
            windowClass.exStyle, windowClass.name,
            Widen(control.design->kind == ControlKind::ListView ? std::string_view()
                                                                : control.design->text)
                .c_str(),
            windowClass.style, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
            window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(quell::design::kFirstControlId + i)),
            instance, nullptr);
        if (hwnd == nullptr) {
            return false;
        }
        control.Attach(hwnd, dpi_);
        ::SetWindowSubclass(hwnd, &DesignedWindow::ControlProc, i,
                            reinterpret_cast<DWORD_PTR>(this));
        if (const Control* picture = PictureBehind(control); picture != nullptr) {
            // Children are stacked below the earlier controls; a control drawn on a picture
            // must be above it.
            const HWND above = ::GetWindow(picture->hwnd, GW_HWNDPREV);
            ::SetWindowPos(hwnd, above != nullptr ? above : HWND_TOP, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    return true;
}

WindowHandle DesignedWindow::ControlHandle(quell::design::AnyControlRef control) const {
    if (control.index < 0 || static_cast<std::size_t>(control.index) >= controls_.size()) {
        throw std::invalid_argument(std::string(design_.name) + " has no control #" +
                                    std::to_string(control.index));
    }
    return reinterpret_cast<WindowHandle>(controls_[static_cast<std::size_t>(control.index)].hwnd);
}

HWND DesignedWindow::ControlHwnd(std::string_view name) const {
    return controls_[IndexOf(name)].hwnd;
}

CheckBox& DesignedWindow::Check(quell::design::CheckRef box) {
    return At(box.index, {ControlKind::CheckBox}, "check box").check;
}

ListBox& DesignedWindow::List(quell::design::ListRef list) {
    return At(list.index, {ControlKind::ListBox}, "list box").list;
}

TextBox& DesignedWindow::Text(quell::design::CaptionRef control) {
    return At(control.index,
              {ControlKind::TextBox, ControlKind::Label, ControlKind::Button, ControlKind::CheckBox,
               ControlKind::Frame},
              "control with a text")
        .text;
}

StatusBar& DesignedWindow::Status(quell::design::StatusRef bar) {
    return At(bar.index, {ControlKind::StatusBar}, "status bar").status;
}

ListView& DesignedWindow::Rows(quell::design::RowsRef view) {
    return At(view.index, {ControlKind::ListView}, "list view").rows;
}

RichTextBox& DesignedWindow::Rich(quell::design::RichRef view) {
    return At(view.index, {ControlKind::RichText}, "rich text box").rich;
}

std::size_t DesignedWindow::IndexOf(std::string_view name) const {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i].design->name == name) {
            return i;
        }
    }
    throw std::invalid_argument(std::string(design_.name) + " has no control named " +
                                std::string(name));
}

DesignedWindow::Control& DesignedWindow::Find(std::string_view name,
                                              std::initializer_list<ControlKind> kinds,
                                              const char* what) {
    return At(static_cast<int>(IndexOf(name)), kinds, what);
}

DesignedWindow::Control& DesignedWindow::At(int index, std::initializer_list<ControlKind> kinds,
                                            const char* what) {
    if (index < 0 || static_cast<std::size_t>(index) >= controls_.size()) {
        throw std::invalid_argument(std::string(design_.name) + " has no control #" +
                                    std::to_string(index));
    }
    Control& control = controls_[static_cast<std::size_t>(index)];
    if (std::find(kinds.begin(), kinds.end(), control.design->kind) == kinds.end()) {
        throw std::invalid_argument(std::string(design_.name) + ": " +
                                    std::string(control.design->name) + " is not a " + what);
    }
    return control;
}

int DesignedWindow::PositionOf(const Control& control) const {
    return static_cast<int>(&control - controls_.data());
}

DesignedWindow::Control* DesignedWindow::FromId(int id) {
    const int index = id - quell::design::kFirstControlId;
    if (index < 0 || static_cast<std::size_t>(index) >= controls_.size()) {
        return nullptr;
    }
    return &controls_[static_cast<std::size_t>(index)];
}

DesignedWindow::Control* DesignedWindow::FromHwnd(HWND hwnd) {
    if (hwnd == nullptr) {
        return nullptr;
    }
    for (Control& control : controls_) {
        if (control.hwnd == hwnd) {
            return &control;
        }
    }
    return nullptr;
}

}  // namespace platform::win32
