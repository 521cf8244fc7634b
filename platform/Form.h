// A window built from its design table, as its controller (Form1, Form3 ...) sees it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Controls.h"
#include "resources/Design.h"

namespace platform {

// The system's handle of a window (an HWND on Windows), opaque to the core.
using WindowHandle = std::uintptr_t;

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

enum class EventKind {
    Click,       // button, check box (also a value set by the program), label, menu item
    EnterKey,    // Enter in a text box
    DeleteKey,   // Delete in a list box
    EscapeKey,   // Esc anywhere in the window
    MouseMove,   // over a picture box or the window; x, y in pixels
    Resize,      // the window's size or state changed, or it was first shown
    QueryClose,  // the user asks to close the window (close box, Alt+F4)
    EndSession,  // Windows is ending the session (logoff, shutdown)
    Timer,       // a timer started with StartTimer; `index` is its id
};

struct Event {
    EventKind kind;
    std::string_view control;  // control or menu item name; "" for the window itself
    int index = -1;            // menu array index, timer id
    int x = 0;
    int y = 0;
};

class Form {
  public:
    virtual ~Form() = default;

    // Creates the window and its controls, hidden. Loading a loaded form does nothing.
    virtual bool Load() = 0;
    // Destroys the window; safe from inside one of its own event handlers. The Form object
    // stays usable and can be loaded again.
    virtual void Unload() = 0;
    virtual bool IsLoaded() const = 0;

    virtual void Show() = 0;  // modeless
    // Shows the window and brings it in front of the user's other windows: a window asked
    // for again while it is open behind them.
    virtual void BringToFront() = 0;
    virtual void Hide() = 0;
    virtual bool Visible() const = 0;
    virtual WindowHandle Handle() const = 0;
    // The system's handle of one control (the hot key's target is a control).
    virtual WindowHandle ControlHandle(std::string_view /*name*/) const { return 0; }
    virtual void SetCaption(const std::string& caption) = 0;
    virtual WindowState State() const = 0;
    virtual void SetState(WindowState state) = 0;
    virtual int ClientWidthTwips() const = 0;

    virtual void StartTimer(int id, int milliseconds) = 0;
    virtual void StopTimer(int id) = 0;

    // Controls by their design names; valid while the form is loaded.
    virtual CheckBox& Check(std::string_view name) = 0;
    virtual ListBox& List(std::string_view name) = 0;
    virtual TextBox& Text(std::string_view name) = 0;
    virtual StatusBar& Status(std::string_view name) = 0;
    virtual RichTextBox& Rich(std::string_view name) = 0;
    virtual ListView& Rows(std::string_view name) = 0;

    // Receives every event of the window and its controls, on the user-interface thread.
    virtual void SetEventHandler(std::function<void(const Event&)> handler) = 0;
};

class Toolkit {
  public:
    virtual ~Toolkit() = default;
    virtual std::unique_ptr<Form> CreateForm(const quell::design::WindowDesign& design) = 0;
};

}  // namespace platform
