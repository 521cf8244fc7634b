// Finding another process's windows by caption, class and program, and naming their controls
// by the design tables the program builds them from.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "resources/Design.h"

namespace quelldriver {

struct WindowQuery {
    std::wstring title;      // exact caption; empty: any
    std::wstring className;  // exact class; empty: any
    std::wstring exe;        // base name of the owning program, any letter case; empty: any
    bool visibleOnly = false;
};

inline WindowQuery Captioned(std::wstring_view title) {
    WindowQuery query;
    query.title = title;
    return query;
}

std::vector<HWND> FindWindows(const WindowQuery& query);
// The first matching window, waiting for one up to `timeoutMs`; DriverError(kExitUnmet) when
// none appears.
HWND WaitForWindow(const WindowQuery& query, int timeoutMs);
// One line per top-level window: handle, process id, visibility, class, program and caption.
std::string DescribeWindows();

// The design a window was built from, by name ("Form1", "Form3", "Form8", "frmAbout",
// "frmSplash"); nullptr for an unknown name.
const quell::design::WindowDesign* DesignNamed(std::wstring_view name);
// The design whose caption is `caption`, or begins it followed by a blank; the main window
// otherwise, since its caption is made entirely at run time.
const quell::design::WindowDesign& DesignForCaption(std::wstring_view caption);

// A top-level window of the program under test with the design its controls come from.
class TargetWindow {
  public:
    TargetWindow(HWND window, const quell::design::WindowDesign& design)
        : window_(window), design_(&design) {}

    HWND Window() const { return window_; }
    const quell::design::WindowDesign& Design() const { return *design_; }
    // A control by its design name, or by its number for windows without a design.
    HWND Control(std::wstring_view name) const;
    int MenuId(std::wstring_view item, int index) const;

  private:
    HWND window_;
    const quell::design::WindowDesign* design_;
};

// A window operand given as a handle (decimal or 0x…); nothing when it is a caption.
std::optional<HWND> HandleOperand(std::wstring_view windowName);

// `windowName` is a window handle (decimal or 0x…) or an exact caption, waited for up to
// `timeoutMs`. `formName` picks the design; empty: chosen by the window's caption.
TargetWindow OpenTarget(std::wstring_view windowName, std::wstring_view formName, int timeoutMs);

// Messages to another process, bounded so that a hung target fails the command instead of
// hanging it. Send throws DriverError when the target does not answer.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int timeoutMs = 10000);
void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// WM_GETTEXT through the target's own window procedure (an edit's contents, not a cached
// caption).
std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
DWORD ProcessOf(HWND window);

// Asks `condition` every 50 ms: true as soon as it holds, false once `timeoutMs` has passed.
template <class Condition>
bool WaitUntil(int timeoutMs, Condition condition) {
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    for (;;) {
        if (condition()) {
            return true;
        }
        if (::GetTickCount64() >= deadline) {
            return false;
        }
        ::Sleep(50);
    }
}

// "0x…" as the harness keeps window handles.
std::string HandleText(HWND window);

}  // namespace quelldriver
