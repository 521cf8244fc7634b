// The setup-mode prompt's design (twips).
#pragma once

#include "resources/Design.h"

namespace quell::design {

inline constexpr ControlDesign kForm3Controls[] = {
    {"Label1", ControlKind::Label, "", 120, 120, 6555, 1035,
     "While in setup mode you can choose to allow or block new windows from certain sites.  "
     "Chosing either \"Always\" option will prevent you from seeing this prompt again for the "
     "current site, and add it to your allowed or disallowed list.",
     "", kVerdana},
    {"Label3", ControlKind::Label, "", 120, 1320, 6555, 255, "Current Site:", "", kVerdana},
    {"Text1", ControlKind::TextBox, "", 120, 1560, 6555, 285, "", "", kVerdana},
    {"Command4", ControlKind::Button, "", 60, 2400, 1455, 855, "Block Now", "", kVerdana,
     "PIC_BLOCKNOW"},
    {"Command2", ControlKind::Button, "", 1560, 2400, 1455, 855, "Block Always",
     "prevents this site from displaying popups.  you will not see this window again for this "
     "site.",
     kVerdana, "PIC_BLOCKALWAYS"},
    {"Command3", ControlKind::Button, "", 3780, 2400, 1455, 855, "Allow Now",
     "ignore this prompt for now.  this window will be displayed the next time a popup window "
     "appears.",
     kVerdana, "PIC_ALLOWNOW"},
    {"Command1", ControlKind::Button, "", 5280, 2400, 1455, 855, "Allow Always",
     "allow this site to display popups.  you will not see this window again for this site.",
     kVerdana, "PIC_ALLOWALWAYS"},
};

inline constexpr WindowDesign kForm3Design{
    "Form3", "Popup Detected!", 6840,     3285,           Border::FixedDialog, false, true,
    true,    "IDI_PROMPT",      kVerdana, kForm3Controls,
};

}  // namespace quell::design
