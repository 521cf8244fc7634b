#include "mainwindow/clsOnTop.h"

namespace quell {
namespace {

constexpr unsigned kKeepPlaceAndSize = platform::kSwpNoMove | platform::kSwpNoSize;

}  // namespace

void clsOnTop::MakeNormal(platform::WindowHandle hWnd) {
    (void)zorder_.SetWindowPos(hWnd, platform::kHwndNoTopmost, kKeepPlaceAndSize);
}

void clsOnTop::MakeTopMost(platform::WindowHandle hWnd) {
    (void)zorder_.SetWindowPos(hWnd, platform::kHwndTopmost, kKeepPlaceAndSize);
}

void modOnTop::SetFormTopmost(platform::WindowZOrder& zorder, const platform::Form& form,
                              bool topmost) {
    clsOnTop onTop(zorder);
    if (topmost) {
        onTop.MakeTopMost(form.Handle());
    } else {
        onTop.MakeNormal(form.Handle());
    }
}

}  // namespace quell
