// A window built from its design table, as its controller (Form1, Form3 ...) sees it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

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

// The source is a position in the window's design table: `control` in its controls,
// `menuItem` in its menu items; both -1 for the window itself.
struct Event {
    EventKind kind;
    int control = -1;
    int menuItem = -1;
    int index = -1;  // menu array index, timer id, status bar panel
    int x = 0;
    int y = 0;

    bool FromWindow() const { return control < 0 && menuItem < 0; }
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
    virtual WindowHandle ControlHandle(quell::design::AnyControlRef /*control*/) const { return 0; }
    virtual void SetCaption(const std::string& caption) = 0;
    virtual WindowState State() const = 0;
    virtual void SetState(WindowState state) = 0;
    virtual int ClientWidthTwips() const = 0;

    virtual void StartTimer(int id, int milliseconds) = 0;
    virtual void StopTimer(int id) = 0;

    // Controls by their references in the window's design; valid while the form is loaded.
    // Text() serves every control with a text or caption.
    virtual CheckBox& Check(quell::design::CheckRef control) = 0;
    virtual ListBox& List(quell::design::ListRef control) = 0;
    virtual TextBox& Text(quell::design::CaptionRef control) = 0;
    virtual StatusBar& Status(quell::design::StatusRef control) = 0;
    virtual RichTextBox& Rich(quell::design::RichRef control) = 0;
    virtual ListView& Rows(quell::design::RowsRef control) = 0;

    // Receives every event of the window and its controls, on the user-interface thread.
    virtual void SetEventHandler(std::function<void(const Event&)> handler) = 0;
};

class Toolkit {
  public:
    virtual ~Toolkit() = default;
    virtual std::unique_ptr<Form> CreateForm(const quell::design::WindowDesign& design) = 0;
};

}  // namespace platform
