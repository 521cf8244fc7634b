// Window designs as data: every window's controls and menus sit in one constexpr table; one
// builder per toolkit (the Win32 one, or the tests' fakes) turns a table into controls.
#pragma once

#include <cstddef>
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

// The position of a menu item in the window's menu-item table, -1 when it has none.
constexpr int FindMenuItem(const WindowDesign& window, std::string_view name, int index) {
    for (std::size_t i = 0; i < window.menuItems.size(); ++i) {
        if (window.menuItems[i].name == name && window.menuItems[i].index == index) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

constexpr int MenuItemId(const WindowDesign& window, std::string_view name, int index) {
    const int position = FindMenuItem(window, name, index);
    return position < 0 ? -1 : kFirstMenuId + position;
}

// Typed references to a window's controls and menu items, found in its table when the
// program is compiled: a misspelt name or a control of another kind does not compile.
template <ControlKind K>
struct ControlRef {
    int index;  // position in the window's controls table
};

using LabelRef = ControlRef<ControlKind::Label>;
using TextRef = ControlRef<ControlKind::TextBox>;
using ListRef = ControlRef<ControlKind::ListBox>;
using CheckRef = ControlRef<ControlKind::CheckBox>;
using ButtonRef = ControlRef<ControlKind::Button>;
using FrameRef = ControlRef<ControlKind::Frame>;
using PictureRef = ControlRef<ControlKind::PictureBox>;
using StatusRef = ControlRef<ControlKind::StatusBar>;
using RichRef = ControlRef<ControlKind::RichText>;
using RowsRef = ControlRef<ControlKind::ListView>;

constexpr bool TakesText(ControlKind kind) {
    return kind == ControlKind::TextBox || kind == ControlKind::Label ||
           kind == ControlKind::Button || kind == ControlKind::CheckBox ||
           kind == ControlKind::Frame;
}

// Any control, whatever its kind (its system handle). Converts implicitly, as does
// CaptionRef, so that a caller passes the control's own reference.
struct AnyControlRef {
    template <ControlKind K>
    constexpr AnyControlRef(ControlRef<K> ref) : index(ref.index) {}
    int index;
};

// A control with a text or caption; a reference to any other kind does not convert.
struct CaptionRef {
    template <ControlKind K>
    requires(TakesText(K)) constexpr CaptionRef(ControlRef<K> ref) : index(ref.index) {}
    int index;
};

// One item of a menu, by its position in the window's menu-item table.
struct MenuItemRef {
    int position;
};

// Every item of a menu array: bit i stands for position i of the menu-item table.
struct MenuArrayRef {
    std::uint64_t positions;
};

// The position of the control of that name and kind, -1 when the table has none.
constexpr int FindControl(const WindowDesign& window, std::string_view name, ControlKind kind) {
    for (std::size_t i = 0; i < window.controls.size(); ++i) {
        if (window.controls[i].name == name) {
            return window.controls[i].kind == kind ? static_cast<int>(i) : -1;
        }
    }
    return -1;
}

// The positions of an array's items; 0 when the table has none (or more than 64 items).
constexpr std::uint64_t FindMenuArray(const WindowDesign& window, std::string_view name) {
    std::uint64_t positions = 0;
    if (window.menuItems.size() > 64) {
        return 0;
    }
    for (std::size_t i = 0; i < window.menuItems.size(); ++i) {
        if (window.menuItems[i].name == name && window.menuItems[i].index >= 0) {
            positions |= std::uint64_t{1} << i;
        }
    }
    return positions;
}

// A throw in a constant evaluation stops the compilation at the name that failed.
template <ControlKind K>
consteval ControlRef<K> Control(const WindowDesign& window, std::string_view name) {
    const int index = FindControl(window, name, K);
    if (index < 0) {
        throw "no control of that name and kind in the window's table";
    }
    return {index};
}

consteval MenuItemRef MenuItem(const WindowDesign& window, std::string_view name, int index = -1) {
    const int position = FindMenuItem(window, name, index);
    if (position < 0) {
        throw "no menu item of that name and index in the window's table";
    }
    return {position};
}

consteval MenuArrayRef MenuArray(const WindowDesign& window, std::string_view name) {
    const std::uint64_t positions = FindMenuArray(window, name);
    if (positions == 0) {
        throw "no menu array of that name in the window's table";
    }
    return {positions};
}

}  // namespace quell::design
