// The designs of the splash, help, about and website windows (twips).
#pragma once

#include "resources/Design.h"

namespace quell::design {

// The splash: no border, never in the taskbar, a picture drawn by the program.
inline constexpr ControlDesign kSplashControls[] = {
    {"Image1", ControlKind::PictureBox, "", 0, 0, 7170, 4770, "", "", kSystemFont, "splash"},
};

inline constexpr WindowDesign kSplashDesign{
    "frmSplash", "Form4", 7170, 4770,        Border::None,    false,
    false,       true,    "",   kSystemFont, kSplashControls,
};

inline constexpr ControlDesign kHelpControls[] = {
    {"Check1", ControlKind::CheckBox, "", 60, 7620, 1995, 255, "Show at Startup", "", kSystemFont},
    {"rtf1", ControlKind::RichText, "", 0, 0, 10275, 7515, "", "", kSystemFont},
};

inline constexpr WindowDesign kHelpDesign{
    "Form8", "Readme/Help", 10290,      7920,        Border::FixedDialog, false,
    false,   true,          "IDI_HELP", kSystemFont, kHelpControls,
};

namespace Form8Controls {
inline constexpr CheckRef Check1 = Control<ControlKind::CheckBox>(kHelpDesign, "Check1");
inline constexpr RichRef rtf1 = Control<ControlKind::RichText>(kHelpDesign, "rtf1");
}  // namespace Form8Controls

inline constexpr Font kAboutName{"Verdana", 1425, true};
inline constexpr Font kAboutLine{"Verdana", 1200, true};

inline constexpr ControlDesign kAboutControls[] = {
    {"Picture1", ControlKind::PictureBox, "", 0, 0, 7515, 1035, "", "", kVerdana, "aboutBanner"},
    // White on the banner's blue, so the name reads.
    {"Label1",
     ControlKind::Label,
     "Picture1",
     120,
     300,
     5655,
     435,
     "Product",
     "",
     kAboutName,
     {},
     true,
     Rgb(255, 255, 255)},
    {"Label2", ControlKind::Label, "", 180, 1260, 2295, 315, "Version:", "", kAboutLine},
    {"Label3", ControlKind::Label, "", 180, 1680, 2295, 315, "Owned By:", "", kAboutLine},
    {"Label4", ControlKind::Label, "", 180, 2100, 2295, 315, "Website:", "", kAboutLine},
    {"lblVersion", ControlKind::Label, "", 2580, 1260, 4635, 315, "Version:", "", kAboutLine},
    {"lblCompany", ControlKind::Label, "", 2580, 1680, 4635, 315, "Owned By:", "", kAboutLine},
    {"lblWebsite",
     ControlKind::Label,
     "",
     2580,
     2100,
     4635,
     315,
     "Website:",
     "",
     kAboutLine,
     {},
     true,
     Rgb(0, 0, 255)},
};

inline constexpr WindowDesign kAboutDesign{
    "frmAbout", "About", 7455,        2535,     Border::FixedSingle, false,
    true,       true,    "IDI_ABOUT", kVerdana, kAboutControls,
};

namespace frmAboutControls {
inline constexpr LabelRef Label1 = Control<ControlKind::Label>(kAboutDesign, "Label1");
inline constexpr LabelRef lblVersion = Control<ControlKind::Label>(kAboutDesign, "lblVersion");
inline constexpr LabelRef lblCompany = Control<ControlKind::Label>(kAboutDesign, "lblCompany");
inline constexpr LabelRef lblWebsite = Control<ControlKind::Label>(kAboutDesign, "lblWebsite");
}  // namespace frmAboutControls

// The website opener is never shown: a window only for its timer.
inline constexpr WindowDesign kWebsiteDesign{
    "frmWebsite", "", 0, 0, Border::None, false, false, false, "", kSystemFont, {},
};

}  // namespace quell::design
