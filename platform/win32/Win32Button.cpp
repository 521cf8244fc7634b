// The push button adapter: its clicks, and the label of a button holding a picture.
#include "platform/win32/Win32Controls.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>
#include <string>

#include "platform/win32/Handles.h"
#include "platform/win32/Layout.h"

namespace platform::win32 {

void Win32Button::OnCommand(int code) {
    if (code == BN_CLICKED) {
        clicked_();
    }
}

// Only for a button holding a picture; the control draws its frame and every other button
// itself.
LRESULT Win32Button::OnNotify(const NMHDR& header) {
    if (header.code != NM_CUSTOMDRAW) {
        return 0;
    }
    const auto& draw = reinterpret_cast<const NMCUSTOMDRAW&>(header);
    BUTTON_IMAGELIST picture{};
    if (draw.dwDrawStage != CDDS_PREPAINT ||
        !::SendMessageW(draw.hdr.hwndFrom, BCM_GETIMAGELIST, 0,
                        reinterpret_cast<LPARAM>(&picture)) ||
        picture.himl == nullptr) {
        return CDRF_DODEFAULT;
    }
    const HWND button = draw.hdr.hwndFrom;
    const ButtonLabel label = MeasureButtonLabel(button);
    int side = 0;
    int height = 0;
    ::ImageList_GetIconSize(picture.himl, &side, &height);
    const int width = label.area.right - label.area.left;
    ::ImageList_Draw(picture.himl, 0, draw.hdc, label.area.left + (width - side) / 2,
                     label.area.top + picture.margin.top, ILD_NORMAL);

    const int below = label.area.top + picture.margin.top + height + picture.margin.bottom;
    const int top =
        below + std::max(0, static_cast<int>(label.area.bottom - below - label.caption.cy) / 2);
    RECT text{label.area.left, top, label.area.right, top + label.caption.cy};
    const std::wstring caption = WindowText(button);
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(button, WM_GETFONT, 0, 0));
    {
        const SelectedObject selected(draw.hdc, font);
        const bool disabled = (draw.uItemState & CDIS_DISABLED) != 0;
        if (const HTHEME theme = ::GetWindowTheme(button); theme != nullptr) {
            int state = PBS_NORMAL;
            if (disabled) {
                state = PBS_DISABLED;
            } else if ((draw.uItemState & CDIS_SELECTED) != 0) {
                state = PBS_PRESSED;
            } else if ((draw.uItemState & CDIS_HOT) != 0) {
                state = PBS_HOT;
            }
            ::DrawThemeText(theme, draw.hdc, BP_PUSHBUTTON, state, caption.c_str(),
                            static_cast<int>(caption.size()), CaptionFormat(button), 0, &text);
        } else {
            if ((draw.uItemState & CDIS_SELECTED) != 0) {
                ::OffsetRect(&text, 1, 1);
            }
            const int mode = ::SetBkMode(draw.hdc, TRANSPARENT);
            const COLORREF colour =
                ::SetTextColor(draw.hdc, ::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
            ::DrawTextW(draw.hdc, caption.c_str(), static_cast<int>(caption.size()), &text,
                        CaptionFormat(button));
            ::SetTextColor(draw.hdc, colour);
            ::SetBkMode(draw.hdc, mode);
        }
    }
    const auto cues = ::SendMessageW(button, WM_QUERYUISTATE, 0, 0);
    if ((draw.uItemState & CDIS_FOCUS) != 0 && (cues & UISF_HIDEFOCUS) == 0) {
        ::DrawFocusRect(draw.hdc, &label.area);
    }
    return CDRF_SKIPDEFAULT;
}

}  // namespace platform::win32
