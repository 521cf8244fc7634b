// The dialog manager's part in designed windows, which are plain windows: the focus kept
// across activation, Tab, arrows and mnemonics through IsDialogMessage, Enter and Esc.
#include "platform/win32/DesignedWindow.h"

namespace platform::win32 {
namespace {

using quell::design::ControlKind;

}  // namespace

bool DesignedWindow::OnActivate(bool active, bool minimized) {
    if (!active) {
        const HWND focused = ::GetFocus();
        if (focused != nullptr && ::IsChild(window_, focused)) {
            focus_ = focused;
        }
        return false;
    }
    if (minimized) {
        return false;
    }
    // Plain windows do not remember their focus as dialogs do.
    HWND target = focus_ != nullptr && ::IsChild(window_, focus_)
                      ? focus_
                      : ::GetNextDlgTabItem(window_, nullptr, FALSE);
    if (target == nullptr) {
        return false;
    }
    ::SetFocus(target);
    return true;
}

bool DesignedWindow::OnKeyDown(WPARAM key) {
    if (key != VK_ESCAPE) {
        return false;
    }
    Raise({EventKind::EscapeKey});
    return true;
}

void DesignedWindow::OnMenuOrDialogCommand(int id) {
    // IsDialogMessage turns Esc into IDCANCEL, and Enter on a control that does not take it
    // into IDOK.
    if (id == IDCANCEL) {
        Raise({EventKind::EscapeKey});
        return;
    }
    if (id == IDOK) {
        const Control* focused = FromHwnd(::GetFocus());
        if (focused != nullptr && focused->design->kind == ControlKind::Button) {
            Raise({EventKind::Click, PositionOf(*focused)});
        }
        return;
    }
    OnMenuCommand(id);
}

LRESULT DesignedWindow::OnControlGetDlgCode(Control& control, HWND hwnd, WPARAM wParam,
                                            const MSG* message) {
    LRESULT code =
        ::DefSubclassProc(hwnd, WM_GETDLGCODE, wParam, reinterpret_cast<LPARAM>(message));
    if (message == nullptr || message->message != WM_KEYDOWN) {
        return code;
    }
    if (message->wParam == VK_ESCAPE) {
        // Esc belongs to the window, also when a multi-line control wants every key.
        code &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
    } else if (message->wParam == VK_RETURN && control.design->kind == ControlKind::TextBox) {
        code |= DLGC_WANTALLKEYS;
    }
    return code;
}

bool DesignedWindow::OnControlKeyDown(Control& control, WPARAM key) {
    const ControlKind kind = control.design->kind;
    if (key == VK_RETURN && kind == ControlKind::TextBox) {
        Raise({EventKind::EnterKey, PositionOf(control)});
        return true;
    }
    if (key == VK_DELETE && kind == ControlKind::ListBox) {
        Raise({EventKind::DeleteKey, PositionOf(control)});
        return true;
    }
    if (key == VK_ESCAPE) {
        Raise({EventKind::EscapeKey});
        return true;
    }
    return false;
}

bool DesignedWindow::OnControlChar(Control& control, WPARAM character) {
    // A single-line edit beeps at the Enter that has already raised EnterKey.
    return control.design->kind == ControlKind::TextBox &&
           (character == L'\r' || character == L'\n');
}

bool PreTranslateMessage(MSG& message) {
    if (message.hwnd == nullptr || message.message < WM_KEYFIRST || message.message > WM_KEYLAST) {
        return false;
    }
    const HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
    if (!DesignedWindow::IsDesignedWindow(root)) {
        return false;
    }
    return ::IsDialogMessageW(root, &message) != FALSE;
}

}  // namespace platform::win32
