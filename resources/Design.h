// Window designs as data: every window's controls and menus sit in one constexpr table; one
// builder per toolkit (the Win32 one, or the tests' fakes) turns a table into controls.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace quell::design {

enum class ControlKind {
    Label,
    TextBox,
    ListBox,     // unsorted, single selection
    CheckBox,    // flat; the row's visible text is a label beside it
    Button,      // push button, optionally with a picture above its caption
    Frame,       // group box; controls whose parent names it are placed inside it
    PictureBox,  // plain child window (also the hot key's target)
    StatusBar,   // along the bottom edge; panels are added at run time
    RichText,    // read-only rich text view
    ListView,    // report-style rows; `text` names the columns, "Caption:twips" joined by '|'
};

struct Font {
    std::string_view face;  // empty: the window's default font
    int hundredthsOfPoint;  // 825 is 8.25 pt
    bool bold;
};

inline constexpr Font kVerdana{"Verdana", 825, false};
inline constexpr Font kVerdanaBold{"Verdana", 825, true};
inline constexpr Font kSystemFont{"", 0, false};

// Colours as 0x00BBGGRR; kDefaultColor keeps the system's colour for the control.
inline constexpr std::uint32_t kDefaultColor = 0xFFFFFFFFu;
constexpr std::uint32_t Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<std::uint32_t>(red) | (static_cast<std::uint32_t>(green) << 8) |
           (static_cast<std::uint32_t>(blue) << 16);
}

// Geometry in twips (1/1440 inch; 15 twips per pixel at 96 DPI), relative to the client area
// of the window, or to the frame or picture box named by `parent`.
struct ControlDesign {
    std::string_view name;
    ControlKind kind;
    std::string_view parent;  // "" for the window itself
    int left;
    int top;
    int width;
    int height;
    std::string_view text;
    std::string_view tooltip;
    Font font;
    // Resource name of the button's picture, if any; for a picture box, the name its painter
    // is registered under.
    std::string_view picture = {};
    bool visible = true;
    std::uint32_t textColor = kDefaultColor;
};

// One item of a menu array: `menu` is the array's name ("mnuActionItem"), `index` its index.
// Named single items (the tray menu's "show") use index -1.
struct MenuItemDesign {
    std::string_view menu;  // the top-level menu it belongs to ("mnuAction", "Popup")
    std::string_view name;  // "mnuActionItem", or the item's own name ("allow")
    int index;
    std::string_view caption;
};

struct MenuDesign {
    std::string_view name;     // "mnuFile"
    std::string_view caption;  // "File"
    bool inMenuBar;            // false: a popup menu shown by the program only
};

// A check box whose visible text is a label beside it: a click on the label is a click on
// the box, as on a caption of the box's own.
struct BoxLabelDesign {
    std::string_view label;
    std::string_view box;
};

enum class Border {
    Sizable,      // ordinary resizable window with minimise and maximise
    FixedSingle,  // fixed frame, close box only (plus minimise where `minButton`)
    FixedDialog,  // dialog frame, close box only
    None,         // no title bar or frame
};

struct WindowDesign {
    std::string_view name;
    std::string_view caption;
    int clientWidth;  // twips
    int clientHeight;
    Border border;
    bool minButton;
    bool showInTaskbar;
    bool centred;
    std::string_view icon;  // resource name, "" for none
    Font font;
    std::span<const ControlDesign> controls;
    std::span<const MenuDesign> menus = {};
    std::span<const MenuItemDesign> menuItems = {};
    std::span<const BoxLabelDesign> boxLabels = {};
};

inline constexpr int kTwipsPerInch = 1440;

// Twips to pixels at a DPI, rounded to nearest (MulDiv semantics for positive values).
constexpr int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + kTwipsPerInch / 2) / kTwipsPerInch
                                        : -((-scaled + kTwipsPerInch / 2) / kTwipsPerInch));
}

// Control identifiers: the control's position in its table plus kFirstControlId. Test drivers
// find controls with the same rule.
inline constexpr int kFirstControlId = 1000;
inline constexpr int kFirstMenuId = 2000;

constexpr int ControlId(const WindowDesign& window, std::string_view name) {
    for (std::size_t i = 0; i < window.controls.size(); ++i) {
        if (window.controls[i].name == name) {
            return kFirstControlId + static_cast<int>(i);
        }
    }
    return -1;
}

constexpr int MenuItemId(const WindowDesign& window, std::string_view name, int index) {
    for (std::size_t i = 0; i < window.menuItems.size(); ++i) {
        if (window.menuItems[i].name == name && window.menuItems[i].index == index) {
            return kFirstMenuId + static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace quell::design
