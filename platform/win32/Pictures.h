// The pictures the program draws itself: the splash and the about window's banner.
#pragma once

#include <windows.h>

#include <string>

namespace platform::win32 {

void PaintSplash(HDC dc, const RECT& client, UINT dpi, const std::wstring& productName,
                 const std::wstring& version);
void PaintAboutBanner(HDC dc, const RECT& client, UINT dpi);

}  // namespace platform::win32
