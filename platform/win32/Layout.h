// A window design at a DPI, in pixels: pure functions of the table and the DPI, so that the
// layout at any DPI can be checked without a monitor of that DPI.
#pragma once

#include <windows.h>

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

// The square picture shown above a button's caption and the gap between them.
struct ButtonPicture {
    int side;
    int gap;
};

// The largest of 32, 24 and 16 pixels (at 96 DPI, scaled to `dpi`) that leaves a caption
// `captionHeight` pixels tall all its lines in a label area `labelHeight` pixels tall. The
// picture shrinks before the gap goes; {0, 0} when not even the smallest picture fits.
ButtonPicture FitButtonPicture(int labelHeight, int captionHeight, UINT dpi);

// Where a push button shows its picture and caption (the theme's content rectangle, or the
// inside of the frame when unthemed), and the size of its caption wrapped to that width in
// the font the button holds.
struct ButtonLabel {
    RECT area;
    SIZE caption;
};
ButtonLabel MeasureButtonLabel(HWND button);

// The DrawText format a push button's caption is measured and drawn with.
UINT CaptionFormat(HWND button);

}  // namespace platform::win32
