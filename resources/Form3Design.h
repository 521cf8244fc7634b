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

// The prompt's controls, checked against its table when compiled.
namespace Form3Controls {
inline constexpr LabelRef Label1 = Control<ControlKind::Label>(kForm3Design, "Label1");
inline constexpr LabelRef Label3 = Control<ControlKind::Label>(kForm3Design, "Label3");
inline constexpr TextRef Text1 = Control<ControlKind::TextBox>(kForm3Design, "Text1");
inline constexpr ButtonRef Command4 = Control<ControlKind::Button>(kForm3Design, "Command4");
inline constexpr ButtonRef Command2 = Control<ControlKind::Button>(kForm3Design, "Command2");
inline constexpr ButtonRef Command3 = Control<ControlKind::Button>(kForm3Design, "Command3");
inline constexpr ButtonRef Command1 = Control<ControlKind::Button>(kForm3Design, "Command1");
}  // namespace Form3Controls

}  // namespace quell::design
