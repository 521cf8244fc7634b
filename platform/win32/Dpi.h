// Dots per inch of a window, and the DPI-aware system calls that Windows 7 lacks: looked up
// at run time, with the system-DPI equivalents as the fallback.
#pragma once

#include <windows.h>

namespace platform::win32 {

inline constexpr UINT kDefaultDpi = 96;

// The DPI the window is shown at (GetDpiForWindow where it exists, else the screen's
// LOGPIXELSY).
UINT WindowDpi(HWND window);

// GetSystemMetricsForDpi, or the system-DPI metric scaled to `dpi`.
int SystemMetricForDpi(int index, UINT dpi);

// The window rectangle around a client rectangle, with the frame measured at `dpi`.
RECT WindowRectForClient(const RECT& client, DWORD style, DWORD exStyle, bool hasMenu, UINT dpi);

// The system's message-box font, sized for `dpi`: the font of controls that name none.
LOGFONTW MessageFontForDpi(UINT dpi);

// A length given in pixels at 96 DPI, at `dpi`.
int ScaleFromDefault(int pixels, UINT dpi);

}  // namespace platform::win32
