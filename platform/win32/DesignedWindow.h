// A window built from its design table: one window class, the controls of the table laid
// out at the window's DPI, its menus and tooltips, and the events its controller receives.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Form.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Controls.h"
#include "resources/Design.h"

namespace platform::win32 {

// Draws a picture box's client rectangle at a DPI (the splash picture, the about banner).
using Painter = std::function<void(HDC dc, const RECT& client, UINT dpi)>;
// Painters by the name a picture box's `picture` field gives.
using PainterTable = std::map<std::string, Painter, std::less<>>;

// The class of every designed window; the test driver finds the program's windows by it.
inline constexpr wchar_t kDesignedWindowClass[] = L"QuellPaneDesignedWindow";

class DesignedWindow final : public Form {
  public:
    // Pictures and icons are loaded from `resources`; a name missing there is shown without
    // its picture. Throws std::invalid_argument for a table whose parents or box labels do
    // not resolve.
    DesignedWindow(const quell::design::WindowDesign& design, HINSTANCE resources,
                   std::shared_ptr<const PainterTable> painters = {});
    ~DesignedWindow() override;
    DesignedWindow(const DesignedWindow&) = delete;
    DesignedWindow& operator=(const DesignedWindow&) = delete;

    bool Load() override;
    void Unload() override;
    bool IsLoaded() const override;
    void Show() override;
    void BringToFront() override;
    void Hide() override;
    bool Visible() const override;
    WindowHandle Handle() const override;
    WindowHandle ControlHandle(quell::design::AnyControlRef control) const override;
    void SetCaption(const std::string& caption) override;
    WindowState State() const override;
    void SetState(WindowState state) override;
    int ClientWidthTwips() const override;
    void StartTimer(int id, int milliseconds) override;
    void StopTimer(int id) override;

    // A reference that is not a control of that kind in the table is a programming error:
    // std::invalid_argument. Text() serves every control with a text or caption.
    CheckBox& Check(quell::design::CheckRef box) override;
    ListBox& List(quell::design::ListRef list) override;
    TextBox& Text(quell::design::CaptionRef control) override;
    StatusBar& Status(quell::design::StatusRef bar) override;
    RichTextBox& Rich(quell::design::RichRef view) override;
    ListView& Rows(quell::design::RowsRef view) override;

    void SetEventHandler(std::function<void(const Event&)> handler) override;

    // Windows side only.
    // Whether a top-level window is one of these (the dialog keys serve only them).
    static bool IsDesignedWindow(HWND window);
    HWND Hwnd() const { return window_; }
    HWND ControlHwnd(std::string_view name) const;
    UINT Dpi() const { return dpi_; }
    // The window's icons come from this icon resource from now on, loaded at the window's DPI
    // and again whenever that changes.
    void SetIcons(std::string_view resourceName);
    // Opens the popup menu of that name (a menu not in the menu bar) at a screen point and
    // returns when it closes; the chosen item's Click follows as a posted command. False when
    // the form is not loaded or the menu could not be shown.
    bool ShowPopupMenu(std::string_view menuName, POINT screenPoint);

  private:
    struct Control {
        Control(const quell::design::ControlDesign& controlDesign, std::function<void()> clicked,
                std::function<void(int panel)> panelClicked)
            : design(&controlDesign),
              check(clicked),
              button(clicked),
              label(clicked),
              status(std::move(panelClicked)) {}
        void Attach(HWND control, UINT dpi);
        // The adapter the window hands this control's notifications to.
        ControlReflection& Reflection();

        const quell::design::ControlDesign* design;
        HWND hwnd = nullptr;
        Win32TextBox text;
        Win32CheckBox check;
        Win32Button button;
        Win32Label label;
        Win32ListBox list;
        Win32StatusBar status;
        Win32RichText rich;
        Win32ListView rows;
        ControlReflection plain;  // the kinds whose parent has nothing to do for them
        UniqueImageList picture;
    };
    struct LoadedFont {
        quell::design::Font font;
        UniqueFont handle;
    };

    // Lifetime and dispatch (DesignedWindow.cpp).
    static void RegisterClasses();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR index, DWORD_PTR self);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleControlMessage(Control& control, HWND hwnd, UINT message, WPARAM wParam,
                                 LPARAM lParam);
    void OnCommand(int id, int code, HWND control);
    LRESULT OnNotify(const NMHDR& header);
    LRESULT OnCtlColor(UINT message, HDC dc, HWND control);
    bool OnDrawItem(const DRAWITEMSTRUCT& item);
    void OnSize();
    void OnMouseMove(int control, LPARAM position);  // -1: the window itself
    void OnTimer(int id);
    void OnClose();
    void OnEndSession(bool ending);
    void OnNcDestroy();
    void Raise(const Event& event);

    // Frame style, placement and showing (WindowFrame.cpp).
    bool CreateFrame(HMENU menuBar);  // false when the window could not be created
    void PlaceWindow();

    // Menus (DesignedMenus.cpp).
    UniqueMenu CreateMenus();  // the menu bar, if the design has one; popups in popupMenus_
    void OnMenuCommand(int id);

    // The dialog manager's part: focus, Tab, Enter and Esc (DialogKeys.cpp).
    void OnMenuOrDialogCommand(int id);
    bool OnActivate(bool active, bool minimized);
    bool OnKeyDown(WPARAM key);
    LRESULT OnControlGetDlgCode(Control& control, HWND hwnd, WPARAM wParam, const MSG* message);
    bool OnControlKeyDown(Control& control, WPARAM key);
    bool OnControlChar(Control& control, WPARAM character);

    // Fonts, icons and button pictures at the window's DPI (DpiResources.cpp).
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    void ApplyDpi();
    void ApplyFonts();
    void ApplyButtonPicture(Control& control);
    void LoadIcons();  // unless the program has set other icons on the window since
    HFONT FontFor(const quell::design::Font& font);

    // Painted picture boxes (PictureBoxes.cpp).
    const Painter* PainterFor(const Control& picture) const;
    // The painted picture box a control sits on, if any.
    const Control* PictureBehind(const Control& control) const;
    // Each control on a painted picture shows it around its text.
    void PaintPicturesBehind();
    void PaintPicture(const Control& picture, HDC dc, POINT origin) const;
    bool OnControlMouseMove(Control& control, LPARAM position);
    bool OnControlPaint(Control& control, HWND hwnd);

    // Tooltips (Tooltips.cpp).
    void CreateTooltips();
    void SizeTooltips();  // their wrapping width at the window's DPI

    // The controls: creation and lookup (DesignedControls.cpp).
    bool CreateControls();
    std::size_t IndexOf(std::string_view name) const;
    Control& Find(std::string_view name, std::initializer_list<quell::design::ControlKind> kinds,
                  const char* what);
    Control& At(int index, std::initializer_list<quell::design::ControlKind> kinds,
                const char* what);
    int PositionOf(const Control& control) const;
    Control* FromId(int id);
    Control* FromHwnd(HWND control);

    quell::design::WindowDesign design_;
    HINSTANCE resources_;
    std::shared_ptr<const PainterTable> painters_;
    std::vector<Control> controls_;  // one per table row; never resized, adapters stay put
    std::function<void(const Event&)> handler_;

    HWND window_ = nullptr;
    HWND tooltip_ = nullptr;  // owned by the window, destroyed with it
    HWND focus_ = nullptr;    // the control to give the focus back to on activation
    UINT dpi_ = 96;
    std::vector<RECT> layout_;
    std::vector<LoadedFont> fonts_;
    std::vector<std::pair<std::string_view, UniqueMenu>> popupMenus_;
    std::string iconName_;  // the design's icon until the program names another
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    bool shownOnce_ = false;
    WindowState pendingState_ = WindowState::Normal;  // asked for before the first Show
};

// Dialog keyboard handling (Tab, arrows, mnemonics, Enter and Esc) for designed windows:
// true when the message was handled and must not be translated or dispatched again. The
// message loop calls it for every message, and Win32EventPump::preTranslate is set to it.
bool PreTranslateMessage(MSG& message);

}  // namespace platform::win32
