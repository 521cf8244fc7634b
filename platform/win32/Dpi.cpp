#include "platform/win32/Dpi.h"

#include "platform/win32/Handles.h"

namespace platform::win32 {
namespace {

// A user32 function that only newer Windows versions export; nullptr elsewhere.
template <class Function>
Function* User32Function(const char* name) {
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) {
        return nullptr;
    }
    // Through void(*)() so that the compiler accepts the cast between function types.
    return reinterpret_cast<Function*>(
        reinterpret_cast<void (*)()>(::GetProcAddress(user32, name)));
}

UINT ScreenDpi() {
    const WindowDc screen(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

}  // namespace

UINT WindowDpi(HWND window) {
    static const auto getDpiForWindow = User32Function<UINT WINAPI(HWND)>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) {
            return dpi;
        }
    }
    return ScreenDpi();
}

int SystemMetricForDpi(int index, UINT dpi) {
    static const auto getMetricForDpi =
        User32Function<int WINAPI(int, UINT)>("GetSystemMetricsForDpi");
    if (getMetricForDpi != nullptr) {
        return getMetricForDpi(index, dpi);
    }
    return ::MulDiv(::GetSystemMetrics(index), static_cast<int>(dpi),
                    static_cast<int>(ScreenDpi()));
}

RECT WindowRectForClient(const RECT& client, DWORD style, DWORD exStyle, bool hasMenu, UINT dpi) {
    static const auto adjustForDpi =
        User32Function<BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT rect = client;
    if (adjustForDpi != nullptr) {
        adjustForDpi(&rect, style, hasMenu, exStyle, dpi);
    } else {
        ::AdjustWindowRectEx(&rect, style, hasMenu, exStyle);
    }
    return rect;
}

LOGFONTW MessageFontForDpi(UINT dpi) {
    static const auto parametersForDpi =
        User32Function<BOOL WINAPI(UINT, UINT, void*, UINT, UINT)>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (parametersForDpi != nullptr &&
        parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        return metrics.lfMessageFont;
    }
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        metrics.lfMessageFont.lfHeight = ::MulDiv(
            metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(ScreenDpi()));
        return metrics.lfMessageFont;
    }
    LOGFONTW fallback{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof fallback, &fallback);
    return fallback;
}

int ScaleFromDefault(int pixels, UINT dpi) {
    return ::MulDiv(pixels, static_cast<int>(dpi), static_cast<int>(kDefaultDpi));
}

}  // namespace platform::win32
