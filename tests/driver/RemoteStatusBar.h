// Reading a status bar panel of another process. SB_GETTEXTW is not marshalled between
// processes, so the text is written into a buffer allocated inside the target.
#pragma once

#include <windows.h>

#include <string>

namespace quelldriver {

int StatusPanelCount(HWND statusBar);
// Panels numbered from 1, as the program numbers them.
std::wstring StatusPanelText(HWND statusBar, int panel);

// A list view's rows, the same way (LVM_GETITEMTEXTW passes a pointer to a structure): one
// row a line, its cells separated by tabs.
std::wstring ListViewRows(HWND listView);
// Selects that one row (-1: none), as a click does.
void SelectListViewRow(HWND listView, int row);

}  // namespace quelldriver
