// Reading a status bar panel of another process. SB_GETTEXTW is not marshalled between
// processes, so the text is written into a buffer allocated inside the target.
#pragma once

#include <windows.h>

#include <string>

namespace quelldriver {

int StatusPanelCount(HWND statusBar);
// Panels numbered from 1, as the program numbers them.
std::wstring StatusPanelText(HWND statusBar, int panel);

}  // namespace quelldriver
