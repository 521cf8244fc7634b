#include "platform/win32/Pictures.h"

#include "platform/win32/Dpi.h"
#include "platform/win32/Handles.h"

namespace platform::win32 {
namespace {

constexpr COLORREF kDeep = RGB(18, 52, 96);
constexpr COLORREF kLight = RGB(64, 128, 192);
constexpr COLORREF kStop = RGB(200, 40, 40);

// A vertical gradient from the deep to the light blue.
void FillGradient(HDC dc, const RECT& rect) {
    TRIVERTEX corners[2] = {{rect.left, rect.top, static_cast<COLOR16>(GetRValue(kDeep) << 8),
                             static_cast<COLOR16>(GetGValue(kDeep) << 8),
                             static_cast<COLOR16>(GetBValue(kDeep) << 8), 0},
                            {rect.right, rect.bottom, static_cast<COLOR16>(GetRValue(kLight) << 8),
                             static_cast<COLOR16>(GetGValue(kLight) << 8),
                             static_cast<COLOR16>(GetBValue(kLight) << 8), 0}};
    GRADIENT_RECT span{0, 1};
    ::GradientFill(dc, corners, 2, &span, 1, GRADIENT_FILL_RECT_V);
}

// The program's mark: a browser pane with a red bar across it.
void PaintMark(HDC dc, int left, int top, int size) {
    UniqueBrush white(::CreateSolidBrush(RGB(250, 250, 250)));
    UniqueBrush stop(::CreateSolidBrush(kStop));
    UniqueBrush title(::CreateSolidBrush(RGB(180, 200, 225)));
    const RECT pane{left, top, left + size, top + size * 4 / 5};
    ::FillRect(dc, &pane, white.get());
    const RECT bar{left, top, left + size, top + size / 6};
    ::FillRect(dc, &bar, title.get());
    const RECT cross{left + size / 8, top + size * 2 / 5, left + size * 7 / 8,
                     top + size * 2 / 5 + size / 6};
    ::FillRect(dc, &cross, stop.get());
}

void DrawText(HDC dc, const std::wstring& text, RECT rect, int height, int weight, COLORREF color,
              UINT format) {
    UniqueFont font(::CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                  DEFAULT_PITCH, L"Verdana"));
    const SelectedObject selected(dc, font.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, color);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

}  // namespace

void PaintSplash(HDC dc, const RECT& client, UINT dpi, const std::wstring& productName,
                 const std::wstring& version) {
    FillGradient(dc, client);
    const int mark = ScaleFromDefault(120, dpi);
    PaintMark(dc, client.left + ScaleFromDefault(40, dpi), client.top + ScaleFromDefault(70, dpi),
              mark);
    RECT text{client.left + ScaleFromDefault(190, dpi), client.top + ScaleFromDefault(80, dpi),
              client.right, client.top + ScaleFromDefault(150, dpi)};
    DrawText(dc, productName, text, ScaleFromDefault(40, dpi), FW_BOLD, RGB(255, 255, 255),
             DT_LEFT | DT_SINGLELINE | DT_VCENTER);
    text.top = text.bottom;
    text.bottom = text.top + ScaleFromDefault(30, dpi);
    DrawText(dc, L"Popup blocker", text, ScaleFromDefault(18, dpi), FW_NORMAL, RGB(225, 235, 245),
             DT_LEFT | DT_SINGLELINE);
    RECT footer{client.left, client.bottom - ScaleFromDefault(40, dpi),
                client.right - ScaleFromDefault(16, dpi),
                client.bottom - ScaleFromDefault(12, dpi)};
    DrawText(dc, L"Version " + version, footer, ScaleFromDefault(12, dpi), FW_NORMAL,
             RGB(225, 235, 245), DT_RIGHT | DT_SINGLELINE);
}

void PaintAboutBanner(HDC dc, const RECT& client, UINT dpi) {
    FillGradient(dc, client);
    const int mark = ScaleFromDefault(48, dpi);
    PaintMark(dc, client.right - mark - ScaleFromDefault(16, dpi),
              client.top + (client.bottom - client.top - mark * 4 / 5) / 2, mark);
}

}  // namespace platform::win32
