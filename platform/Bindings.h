// A controller's handlers as a table from (control or menu item, event) to member function,
// matched against each event of its window instead of a chain of comparisons.
#pragma once

#include <cstdint>
#include <span>

#include "platform/Form.h"
#include "resources/Design.h"

namespace platform {

// The window itself, as the source of Resize, QueryClose, EscapeKey ...
struct WindowSource {};
inline constexpr WindowSource kWindow{};

// What a binding listens to: the window, a control, a menu item or every item of a menu
// array. Implicit, so that a binding table names its sources by their references alone.
class EventSource {
  public:
    constexpr EventSource(WindowSource /*window*/) {}
    template <quell::design::ControlKind K>
    constexpr EventSource(quell::design::ControlRef<K> control)
        : of_(Of::Control), position_(control.index) {}
    constexpr EventSource(quell::design::MenuItemRef item)
        : of_(Of::MenuItem), position_(item.position) {}
    constexpr EventSource(quell::design::MenuArrayRef array)
        : of_(Of::MenuArray), positions_(array.positions) {}

    constexpr bool Matches(const Event& event) const {
        switch (of_) {
            case Of::Window:
                return event.FromWindow();
            case Of::Control:
                return event.control == position_;
            case Of::MenuItem:
                return event.menuItem == position_;
            case Of::MenuArray:
                return event.menuItem >= 0 && event.menuItem < 64 &&
                       ((positions_ >> event.menuItem) & 1u) != 0;
        }
        return false;
    }

  private:
    enum class Of : std::uint8_t { Window, Control, MenuItem, MenuArray };
    Of of_ = Of::Window;
    int position_ = -1;
    std::uint64_t positions_ = 0;
};

// One handler: a member function taking nothing, or the event's index (a menu array's item).
template <class Controller>
struct Binding {
    constexpr Binding(EventSource from, EventKind on, void (Controller::*run)())
        : source(from), kind(on), plain(run) {}
    constexpr Binding(EventSource from, EventKind on, void (Controller::*run)(int))
        : source(from), kind(on), indexed(run) {}

    EventSource source;
    EventKind kind;
    void (Controller::*plain)() = nullptr;
    void (Controller::*indexed)(int) = nullptr;
};

// Runs the first binding that matches the event; false when none does.
template <class Controller>
bool Dispatch(std::span<const Binding<Controller>> table, Controller& controller,
              const Event& event) {
    for (const Binding<Controller>& binding : table) {
        if (binding.kind != event.kind || !binding.source.Matches(event)) {
            continue;
        }
        if (binding.plain != nullptr) {
            (controller.*binding.plain)();
        } else {
            (controller.*binding.indexed)(event.index);
        }
        return true;
    }
    return false;
}

}  // namespace platform
