// The "Blocked Popups" window: the popups blocked in this run, newest first, and what the
// user can do with one (twips).
#pragma once

#include "resources/Design.h"

namespace quell::design {

inline constexpr ControlDesign kBlockedControls[] = {
    {"lvwBlocked", ControlKind::ListView, "", 60, 60, 9480, 4560,
     "Time:1980|Site:1950|Popup address:3180|Reason:2250",
     "The popups blocked since the program started, newest first.", kVerdana},
    {"cmdOpen", ControlKind::Button, "", 60, 4740, 1500, 435, "Open Popup",
     "Open the selected popup's address in a new browser window, this once.", kVerdana},
    {"cmdAllow", ControlKind::Button, "", 1620, 4740, 1500, 435, "Allow Site",
     "Add the selected popup's site to the allowed list, so its popups open from now on.",
     kVerdana},
    {"cmdCopy", ControlKind::Button, "", 3180, 4740, 1500, 435, "Copy",
     "Copy the selected rows as tab-separated text.", kVerdana},
    {"cmdSave", ControlKind::Button, "", 4740, 4740, 1500, 435, "Save As\u2026",
     "Save every row to a CSV file.", kVerdana},
    {"cmdClear", ControlKind::Button, "", 8040, 4740, 1500, 435, "Clear",
     "Forget the popups blocked so far.", kVerdana},
};

inline constexpr WindowDesign kBlockedDesign{
    "frmBlocked", "Blocked Popups", 9600, 5280, Border::FixedSingle, true, true, true, "IDI_FORM1",
    kVerdana,     kBlockedControls,
};

// The window's controls, checked against its table when compiled.
namespace frmBlockedControls {
inline constexpr RowsRef lvwBlocked = Control<ControlKind::ListView>(kBlockedDesign, "lvwBlocked");
inline constexpr ButtonRef cmdOpen = Control<ControlKind::Button>(kBlockedDesign, "cmdOpen");
inline constexpr ButtonRef cmdAllow = Control<ControlKind::Button>(kBlockedDesign, "cmdAllow");
inline constexpr ButtonRef cmdCopy = Control<ControlKind::Button>(kBlockedDesign, "cmdCopy");
inline constexpr ButtonRef cmdSave = Control<ControlKind::Button>(kBlockedDesign, "cmdSave");
inline constexpr ButtonRef cmdClear = Control<ControlKind::Button>(kBlockedDesign, "cmdClear");
}  // namespace frmBlockedControls

}  // namespace quell::design
