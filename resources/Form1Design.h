// The main window's design: controls, texts, tooltips and geometry (twips).
#pragma once

#include "resources/Design.h"

namespace quell::design {

inline constexpr std::string_view kTipCheck1 = "This controls whether popup blocking is on or off.";
inline constexpr std::string_view kTipCheck2 =
    "When in Setup Mode, whenever a site attempts to open a popup you be prompted to either "
    "allow it or disallow it.  We recommend using Setup Mode for a few days to collect a list "
    "of allowed and disallowed sites.";
inline constexpr std::string_view kTipCheck6 =
    "The program can detect when your mouse is over a link, which will allow links that open "
    "in new windows to be opened.  The program will be less accurate with this option on, but "
    "it may be more convenient for you.";
inline constexpr std::string_view kTipCheck5 =
    "If selected, every time a popup is blocked you will hear a POP! sound.";
inline constexpr std::string_view kTipCheck3 =
    "This causes the program to stay on top of other windows.";
inline constexpr std::string_view kTipCheck4 =
    "This will enable the program to be run every time you start your computer, so that you "
    "don't have to remember to open it before browsing.";

inline constexpr ControlDesign kForm1Controls[] = {
    {"Command5", ControlKind::Button, "", 60, 60, 1515, 975, "Allow Next Popup",
     "This will allow the next popup to be opened.  You can also press Win + Z or right click "
     "the Program Icon.  This is useful if a legitimate window is being misinterpreted as a "
     "popup.",
     kVerdana, "PIC_ALLOWNEXT"},
    {"Command6", ControlKind::Button, "", 1620, 60, 1515, 975, "Minimize to Taskbar",
     "The program will run silently in the taskbar while you browse.  You can right click the "
     "program icon for a list of options, or to maximize the program.",
     kVerdana, "PIC_MINIMIZE"},
    {"Command7", ControlKind::Button, "", 3180, 60, 4395, 975, "Visit", "", kVerdana,
     "PIC_WEBSITE"},

    {"Frame2", ControlKind::Frame, "", 60, 1080, 7515, 1755, "Program Options", "", kVerdanaBold},
    {"Check1", ControlKind::CheckBox, "Frame2", 120, 240, 200, 200, "", kTipCheck1, kVerdana},
    {"Label5", ControlKind::Label, "Frame2", 360, 240, 7035, 255,
     "Popup Blocking: Stop Popups from all sites that aren't on my allowed list", kTipCheck1,
     kVerdana},
    {"Check2", ControlKind::CheckBox, "Frame2", 120, 480, 200, 200, "", kTipCheck2, kVerdana},
    {"Label6", ControlKind::Label, "Frame2", 360, 480, 7035, 255,
     "Setup Mode: Add sites to my Allowed or Disallowed list as I browse", kTipCheck2, kVerdana},
    {"Check6", ControlKind::CheckBox, "Frame2", 120, 720, 200, 200, "", kTipCheck6, kVerdana},
    {"Label4", ControlKind::Label, "Frame2", 360, 720, 7035, 255,
     "Exceptions: Allow popups when my mouse is over a link", kTipCheck6, kVerdana},
    {"Check5", ControlKind::CheckBox, "Frame2", 120, 960, 200, 200, "", kTipCheck5, kVerdana},
    {"Label2", ControlKind::Label, "Frame2", 360, 960, 7035, 255,
     "Audio: Play a sound when a popup is blocked", kTipCheck5, kVerdana},
    {"Check3", ControlKind::CheckBox, "Frame2", 120, 1200, 200, 200, "", kTipCheck3, kVerdana},
    {"Label7", ControlKind::Label, "Frame2", 360, 1200, 7035, 255,
     "Visual: Keep this window on top of all others", kTipCheck3, kVerdana},
    {"Check4", ControlKind::CheckBox, "Frame2", 120, 1440, 200, 200, "", kTipCheck4, kVerdana},
    {"Label8", ControlKind::Label, "Frame2", 360, 1440, 7035, 255,
     "Automation: Run at startup and block popups automatically", kTipCheck4, kVerdana},

    {"Frame1", ControlKind::Frame, "", 60, 2880, 7515, 3675, "Website Settings", "", kVerdanaBold},
    {"Label3", ControlKind::Label, "Frame1", 120, 255, 1815, 255, "Allowed Sites:",
     "allowed sites will be able to open popup windows.  however, the windows that popup are "
     "not affected by quellpane and will be able to launch popups.",
     kVerdanaBold},
    {"Text1", ControlKind::TextBox, "Frame1", 120, 600, 1815, 285, "",
     "Type the domain (ex: Website.com) of the site you would like to allow and click the Add "
     "button.",
     kVerdana},
    {"Command1", ControlKind::Button, "Frame1", 2040, 180, 795, 695, "Add",
     "Allow popups from the site typed in the text box to the left.", kVerdana, "PIC_ADD"},
    {"Command2", ControlKind::Button, "Frame1", 2880, 180, 795, 695, "Delete",
     "Remove the selected site from the Allowed List", kVerdana, "PIC_DELETE"},
    {"List1", ControlKind::ListBox, "Frame1", 120, 900, 3615, 2595, "",
     "sites that are allowed will not be prevented from opening popups", kVerdana},
    {"Label1", ControlKind::Label, "Frame1", 3780, 255, 1815, 255, "Disallowed Sites:",
     "by default, quellpane.  adding a site to the disallowed list  prevents it from notifying "
     "you of popups while in setup mode.",
     kVerdanaBold},
    {"Text2", ControlKind::TextBox, "Frame1", 3780, 600, 1815, 285, "",
     "Type the domain (ex: Website.com) of the site you would like to disallow and click the "
     "Add button.",
     kVerdana},
    {"Command4", ControlKind::Button, "Frame1", 5700, 180, 795, 695, "Add",
     "Prevent popups from the site typed in the text box to the left.", kVerdana, "PIC_ADD"},
    {"Command3", ControlKind::Button, "Frame1", 6540, 180, 795, 695, "Delete",
     "Remove the selected site from the Disallowed List", kVerdana, "PIC_DELETE"},
    {"List2", ControlKind::ListBox, "Frame1", 3780, 900, 3615, 2595, "",
     "all sites that are not \"allowed\" are blocked by quellpane.  disallowed sites will not "
     "prompt you from setup mode.",
     kVerdana},

    // The hot key's target: an idle picture box outside the visible client area.
    {"pctHotkey", ControlKind::PictureBox, "", 9660, 120, 1155, 675, "", "", kVerdana},
    {"StatusBar1", ControlKind::StatusBar, "", 0, 6615, 7605, 315, "", "", kVerdana},
};

inline constexpr MenuDesign kForm1Menus[] = {
    {"mnuFile", "File", true}, {"mnuAction", "Action", true}, {"mnuTools", "Tools", true},
    {"mnuHelp", "Help", true}, {"mnuAbout", "About", true},   {"Popup", "Popup", false},
};

inline constexpr MenuItemDesign kForm1MenuItems[] = {
    // Exit stays the last item and keeps its index; the items before it are later additions.
    {"mnuFile", "mnuFileItem", 2, "Export Site Lists\u2026"},
    {"mnuFile", "mnuFileItem", 3, "Import Site Lists\u2026"},
    {"mnuFile", "mnuFileItem", 1, "Exit"},
    {"mnuAction", "mnuActionItem", 0, "Minimize to Taskbar"},
    {"mnuAction", "mnuActionItem", 1, "Allow the Next Popup (Win-Z)"},
    {"mnuAction", "mnuActionItem", 2, "Show Blocked Popups\u2026"},
    {"mnuTools", "mnuToolsItem", 0, "Add Program to IE Tools Menu"},
    {"mnuTools", "mnuToolsItem", 1, "Remove Program from IE Tools Menu"},
    {"mnuHelp", "mnuHelpItem", 0, "View Help"},
    {"mnuAbout", "mnuAboutItem", 0, "About this software"},
    {"Popup", "close", -1, "Close this menu"},
    {"Popup", "show", -1, "Show program"},
    {"Popup", "allow", -1, "Allow next popup (win-z)"},
    {"Popup", "Exit", -1, "Exit"},
    {"Popup", "blocked", -1, "Show blocked popups"},
};

inline constexpr BoxLabelDesign kForm1BoxLabels[] = {
    {"Label5", "Check1"}, {"Label6", "Check2"}, {"Label4", "Check6"},
    {"Label2", "Check5"}, {"Label7", "Check3"}, {"Label8", "Check4"},
};

inline constexpr WindowDesign kForm1Design{
    "Form1",
    "",
    7605,
    6930,
    Border::FixedSingle,
    true,
    true,
    true,
    "IDI_FORM1",
    kVerdana,
    kForm1Controls,
    kForm1Menus,
    kForm1MenuItems,
    kForm1BoxLabels,
};

// The main window's controls and menu items, checked against its table when compiled.
namespace Form1Controls {
inline constexpr ButtonRef Command5 = Control<ControlKind::Button>(kForm1Design, "Command5");
inline constexpr ButtonRef Command6 = Control<ControlKind::Button>(kForm1Design, "Command6");
inline constexpr ButtonRef Command7 = Control<ControlKind::Button>(kForm1Design, "Command7");
inline constexpr FrameRef Frame2 = Control<ControlKind::Frame>(kForm1Design, "Frame2");
inline constexpr CheckRef Check1 = Control<ControlKind::CheckBox>(kForm1Design, "Check1");
inline constexpr LabelRef Label5 = Control<ControlKind::Label>(kForm1Design, "Label5");
inline constexpr CheckRef Check2 = Control<ControlKind::CheckBox>(kForm1Design, "Check2");
inline constexpr LabelRef Label6 = Control<ControlKind::Label>(kForm1Design, "Label6");
inline constexpr CheckRef Check6 = Control<ControlKind::CheckBox>(kForm1Design, "Check6");
inline constexpr LabelRef Label4 = Control<ControlKind::Label>(kForm1Design, "Label4");
inline constexpr CheckRef Check5 = Control<ControlKind::CheckBox>(kForm1Design, "Check5");
inline constexpr LabelRef Label2 = Control<ControlKind::Label>(kForm1Design, "Label2");
inline constexpr CheckRef Check3 = Control<ControlKind::CheckBox>(kForm1Design, "Check3");
inline constexpr LabelRef Label7 = Control<ControlKind::Label>(kForm1Design, "Label7");
inline constexpr CheckRef Check4 = Control<ControlKind::CheckBox>(kForm1Design, "Check4");
inline constexpr LabelRef Label8 = Control<ControlKind::Label>(kForm1Design, "Label8");
inline constexpr FrameRef Frame1 = Control<ControlKind::Frame>(kForm1Design, "Frame1");
inline constexpr LabelRef Label3 = Control<ControlKind::Label>(kForm1Design, "Label3");
inline constexpr TextRef Text1 = Control<ControlKind::TextBox>(kForm1Design, "Text1");
inline constexpr ButtonRef Command1 = Control<ControlKind::Button>(kForm1Design, "Command1");
inline constexpr ButtonRef Command2 = Control<ControlKind::Button>(kForm1Design, "Command2");
inline constexpr ListRef List1 = Control<ControlKind::ListBox>(kForm1Design, "List1");
inline constexpr LabelRef Label1 = Control<ControlKind::Label>(kForm1Design, "Label1");
inline constexpr TextRef Text2 = Control<ControlKind::TextBox>(kForm1Design, "Text2");
inline constexpr ButtonRef Command4 = Control<ControlKind::Button>(kForm1Design, "Command4");
inline constexpr ButtonRef Command3 = Control<ControlKind::Button>(kForm1Design, "Command3");
inline constexpr ListRef List2 = Control<ControlKind::ListBox>(kForm1Design, "List2");
inline constexpr PictureRef pctHotkey = Control<ControlKind::PictureBox>(kForm1Design, "pctHotkey");
inline constexpr StatusRef StatusBar1 = Control<ControlKind::StatusBar>(kForm1Design, "StatusBar1");
inline constexpr MenuArrayRef mnuFileItem = MenuArray(kForm1Design, "mnuFileItem");
inline constexpr MenuArrayRef mnuActionItem = MenuArray(kForm1Design, "mnuActionItem");
inline constexpr MenuArrayRef mnuToolsItem = MenuArray(kForm1Design, "mnuToolsItem");
inline constexpr MenuArrayRef mnuHelpItem = MenuArray(kForm1Design, "mnuHelpItem");
inline constexpr MenuArrayRef mnuAboutItem = MenuArray(kForm1Design, "mnuAboutItem");
inline constexpr MenuItemRef close = MenuItem(kForm1Design, "close");
inline constexpr MenuItemRef show = MenuItem(kForm1Design, "show");
inline constexpr MenuItemRef allow = MenuItem(kForm1Design, "allow");
inline constexpr MenuItemRef Exit = MenuItem(kForm1Design, "Exit");
inline constexpr MenuItemRef blocked = MenuItem(kForm1Design, "blocked");
}  // namespace Form1Controls

}  // namespace quell::design
