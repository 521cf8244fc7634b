// A window design at a DPI, in pixels: pure functions of the table and the DPI, so that the
// layout at any DPI can be checked without a monitor of that DPI.
#pragma once

#include <windows.h>

#include <string>

#include <vector>

#include "resources/Design.h"

namespace platform::win32 {

// Client-area rectangles of the controls, in table order. A control whose `parent` names a
// frame or picture box is offset by that control's position. Throws std::invalid_argument
// for a parent that is not in the table (or a cycle of parents).
std::vector<RECT> LayoutControls(const quell::design::WindowDesign& window, UINT dpi);

SIZE ClientSizePixels(const quell::design::WindowDesign& window, UINT dpi);

// LOGFONT height of a font size in 1/100 pt: negative, so it names the character height.
int FontHeight(int hundredthsOfPoint, UINT dpi);

// The side of the square picture shown above a button's caption: the largest of 32, 24 and
// 16 pixels (at 96 DPI, scaled to `dpi`) that leaves room for the caption, `captionHeight`
// pixels tall (a LOGFONT height counts as one line); 0 when none fits.
int ButtonPictureSize(int buttonHeight, int captionHeight, UINT dpi);

// The height of a caption wrapped to a button's width, in the given font.
int CaptionHeight(HFONT font, const std::wstring& caption, int buttonWidth, UINT dpi);

}  // namespace platform::win32
