// quelldriver.exe: drives and reads the windows of a running QuellPane from another process,
// for the end-to-end tests. One subcommand per run; results on stdout, failures on stderr.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <psapi.h>

#include <cstdio>
#include <cwctype>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/Unicode.h"
#include "tests/driver/CommandLine.h"
#include "tests/driver/RemoteStatusBar.h"
#include "tests/driver/TargetWindow.h"

namespace quelldriver {
namespace {

using platform::win32::Narrow;
using platform::win32::Widen;

constexpr int kDefaultTimeoutMs = 10000;

constexpr const char* kUsage = R"(usage: quelldriver <command> [operands] [options]

<window> is a window handle (as wait-window prints it) or an exact caption, waited for.
<control> is a control's design name (Check1, List1, StatusBar1 ...) or its number.
The design is chosen by the window's caption, or by --form Form1|Form3|Form8|frmAbout|frmSplash.

Queries (print the value; with --expect TEXT repeat until the value is TEXT or --timeout ms):
  text <window> [control]           caption, or the control's text
  check-value <window> <control>    0, 1 or 2
  list-items <window> <list>        one item a line
  list-selection <window> <list>    index of the selected item, -1 for none
  rows <window> <listview>          one row a line, cells separated by tabs
  status <window> [panel]           a status bar panel's text (panel 2 by default)
  window-state <window>             normal, minimized or maximized
  visible <window> [control]        1 or 0
  topmost <window>                  1 or 0
  foreground                        the handle of the window in the foreground
  screenshot-rect <window> [--frame]    WxH+X+Y of the menu bar and client area on screen
                                    (the whole window with --frame)
Actions:
  wait-window --title T [--class C] [--exe NAME] [--visible]   prints the handle
  wait-gone <window>                 until the window no longer exists
  list-windows                       every top-level window, one a line
  process-stats <window>             the window's process: handles=N gdi=N user=N
                                     working-set=BYTES
  set-text <window> <control> <text>
  click <window> <control> [--post] [--repeat N]   BM_CLICK (N times), processed before the
                                     command returns (posted with --post, for a click whose
                                     handler waits)
  select <window> <list> <index>     LB_SETCURSEL and the LBN_SELCHANGE a click would send
  select-row <window> <listview> <row>   selects that one row (-1: none)
  menu <window> <item> [index] [--post]   WM_COMMAND of the design's menu item
  key <window> <control> <vk>        WM_KEYDOWN/WM_KEYUP posted through the target's message
                                     loop; vk: RETURN, DELETE, ESCAPE, TAB, SPACE, a letter or
                                     a number
  post-message <window> <message> [wParam] [lParam] [--control C] [--repeat N]
  send-message <window> <message> [wParam] [lParam] [--control C]   prints the result
                                     message: a number, WM_<name> or registered:<name>
  focus <window> [control]           brings the window to the foreground (for real keys)
  close <window>                     posts WM_CLOSE
  send-endsession <window>           WM_QUERYENDSESSION (prints its answer), then WM_ENDSESSION
  lock-file <path>                   opens the file with no sharing, as a backup tool or a
                                     virus scanner may, prints "locked" and holds it until
                                     --timeout ms have passed or the driver is ended
Exit status: 0 done, 1 a wait or an expectation was not met, 2 an error.
)";

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

// Control characters made visible, so that a mismatch in line ends can be read.
std::string Quote(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
            case '\r':
                quoted += "\\r";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\t':
                quoted += "\\t";
                break;
            case '"':
                quoted += "\\\"";
                break;
            default:
                quoted += c;
        }
    }
    return quoted + "\"";
}

struct Invocation {
    const CommandLine& line;
    int timeoutMs;

    TargetWindow Target() const {
        return OpenTarget(line.Operand(0), line.Value(L"form"), timeoutMs);
    }
    HWND ControlOf(const TargetWindow& target, std::size_t operand) const {
        return target.Control(line.Operand(operand));
    }
    // Sent, so that it has been handled when the command ends; posted with --post, for a
    // handler that does not return soon (a question it waits for, the program's end).
    void Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
        if (line.Has(L"post")) {
            Post(window, message, wParam, lParam);
        } else {
            Send(window, message, wParam, lParam);
        }
    }
    // The control named by the second operand, or the window itself without one.
    HWND WindowOrControl(const TargetWindow& target) const {
        return line.Operands().size() > 1 ? ControlOf(target, 1) : target.Window();
    }
    // The query's value, printed; with --expect, asked again until it is the expected one.
    int Answer(const std::string& what, const std::function<std::string()>& query) const {
        std::string value;
        if (!line.Has(L"expect")) {
            value = query();
        } else {
            const std::string expected = Narrow(line.Value(L"expect"));
            WaitUntil(timeoutMs, [&] {
                value = query();
                return value == expected;
            });
            if (value != expected) {
                Print(value + "\n");
                throw DriverError(what + ": expected " + Quote(expected) + ", saw " + Quote(value) +
                                      " after " + std::to_string(timeoutMs) + " ms",
                                  kExitUnmet);
            }
        }
        Print(value + "\n");
        return kExitOk;
    }
};

std::string Bit(bool on) {
    return on ? "1" : "0";
}

struct NamedNumber {
    std::wstring_view name;
    UINT value;
};

constexpr NamedNumber kMessages[] = {
    {L"WM_NULL", WM_NULL},
    {L"WM_CLOSE", WM_CLOSE},
    {L"WM_COMMAND", WM_COMMAND},
    {L"WM_SYSCOMMAND", WM_SYSCOMMAND},
    {L"WM_HOTKEY", WM_HOTKEY},
    {L"WM_MOUSEMOVE", WM_MOUSEMOVE},
    {L"WM_KEYDOWN", WM_KEYDOWN},
    {L"WM_KEYUP", WM_KEYUP},
    {L"WM_QUERYENDSESSION", WM_QUERYENDSESSION},
    {L"WM_ENDSESSION", WM_ENDSESSION},
    {L"WM_SIZE", WM_SIZE},
    {L"WM_APP", WM_APP},
};

constexpr NamedNumber kKeys[] = {
    {L"RETURN", VK_RETURN}, {L"DELETE", VK_DELETE}, {L"ESCAPE", VK_ESCAPE}, {L"TAB", VK_TAB},
    {L"SPACE", VK_SPACE},   {L"BACK", VK_BACK},     {L"UP", VK_UP},         {L"DOWN", VK_DOWN},
};

UINT Lookup(std::wstring_view text, std::span<const NamedNumber> table, std::string_view what) {
    for (const NamedNumber& entry : table) {
        if (entry.name == text) {
            return entry.value;
        }
    }
    return static_cast<UINT>(ParseNumber(text, what));
}

UINT MessageNumber(std::wstring_view text) {
    constexpr std::wstring_view kRegistered = L"registered:";
    if (text.starts_with(kRegistered)) {
        return ::RegisterWindowMessageW(std::wstring(text.substr(kRegistered.size())).c_str());
    }
    return Lookup(text, kMessages, "message");
}

UINT KeyNumber(std::wstring_view text) {
    if (text.size() == 1 && std::iswalnum(text[0])) {
        return static_cast<UINT>(std::towupper(text[0]));
    }
    return Lookup(text, kKeys, "key");
}

// --- queries ---

int Text(const Invocation& call) {
    const HWND window = call.WindowOrControl(call.Target());
    return call.Answer("text", [&] { return Narrow(WindowText(window)); });
}

// The control's answer to one message without arguments, as a number.
int ControlNumber(const Invocation& call, const std::string& command, UINT message) {
    const TargetWindow target = call.Target();
    const HWND control = call.ControlOf(target, 1);
    return call.Answer(command + " " + Narrow(call.line.Operand(1)),
                       [&] { return std::to_string(Send(control, message, 0, 0)); });
}

int CheckValue(const Invocation& call) {
    return ControlNumber(call, "check-value", BM_GETCHECK);
}

int ListItems(const Invocation& call) {
    const TargetWindow target = call.Target();
    const HWND list = call.ControlOf(target, 1);
    return call.Answer("list-items " + Narrow(call.line.Operand(1)), [&] {
        std::string items;
        const LRESULT count = Send(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            const LRESULT length = Send(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
            std::wstring item(static_cast<std::size_t>(length < 0 ? 0 : length) + 1, L'\0');
            const LRESULT copied = Send(list, LB_GETTEXT, static_cast<WPARAM>(i),
                                        reinterpret_cast<LPARAM>(item.data()));
            item.resize(static_cast<std::size_t>(copied < 0 ? 0 : copied));
            if (i > 0) {
                items += '\n';
            }
            items += Narrow(item);
        }
        return items;
    });
}

int Rows(const Invocation& call) {
    const TargetWindow target = call.Target();
    const HWND view = call.ControlOf(target, 1);
    return call.Answer("rows " + Narrow(call.line.Operand(1)),
                       [&] { return Narrow(ListViewRows(view)); });
}

int SelectRow(const Invocation& call) {
    const TargetWindow target = call.Target();
    SelectListViewRow(call.ControlOf(target, 1),
                      static_cast<int>(ParseNumber(call.line.Operand(2), "row")));
    return kExitOk;
}

int ListSelection(const Invocation& call) {
    return ControlNumber(call, "list-selection", LB_GETCURSEL);
}

int Status(const Invocation& call) {
    const TargetWindow target = call.Target();
    std::wstring barName = call.line.Value(L"control");
    for (const auto& control : target.Design().controls) {
        if (barName.empty() && control.kind == quell::design::ControlKind::StatusBar) {
            barName = Widen(control.name);
        }
    }
    const HWND bar = target.Control(barName);
    const int panel = call.line.Operands().size() > 1
                          ? static_cast<int>(ParseNumber(call.line.Operand(1), "panel"))
                          : 2;
    return call.Answer("status panel " + std::to_string(panel),
                       [&] { return Narrow(StatusPanelText(bar, panel)); });
}

int WindowState(const Invocation& call) {
    const HWND window = call.Target().Window();
    return call.Answer("window-state", [&] {
        return std::string(::IsIconic(window)   ? "minimized"
                           : ::IsZoomed(window) ? "maximized"
                                                : "normal");
    });
}

int Visible(const Invocation& call) {
    const HWND window = call.WindowOrControl(call.Target());
    return call.Answer("visible", [&] { return Bit(::IsWindowVisible(window) != FALSE); });
}

int Topmost(const Invocation& call) {
    const HWND window = call.Target().Window();
    return call.Answer("topmost", [&] {
        return Bit((::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
    });
}

int Foreground(const Invocation& call) {
    return call.Answer("foreground", [] { return HandleText(::GetForegroundWindow()); });
}

// What the screen shows of the window. Without a window manager (Xvfb) nobody draws the
// frame and the caption: only the menu bar and the client area are on screen.
RECT ShownRect(HWND window, bool frame) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    if (frame) {
        return rect;
    }
    RECT decoration{};
    ::AdjustWindowRectEx(&decoration, static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE)),
                         FALSE, static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE)));
    return {rect.left - decoration.left, rect.top - decoration.top, rect.right - decoration.right,
            rect.bottom - decoration.bottom};
}

int ScreenshotRect(const Invocation& call) {
    const HWND window = call.Target().Window();
    return call.Answer("screenshot-rect", [&] {
        const RECT rect = ShownRect(window, call.line.Has(L"frame"));
        char geometry[64];
        std::snprintf(geometry, sizeof geometry, "%ldx%ld%+ld%+ld", rect.right - rect.left,
                      rect.bottom - rect.top, rect.left, rect.top);
        return std::string(geometry);
    });
}

// --- actions ---

int WaitWindow(const Invocation& call) {
    const WindowQuery query{call.line.Value(L"title"), call.line.Value(L"class"),
                            call.line.Value(L"exe"), call.line.Has(L"visible")};
    if (query.title.empty() && query.className.empty()) {
        throw DriverError("wait-window needs --title or --class");
    }
    Print(HandleText(WaitForWindow(query, call.timeoutMs)) + "\n");
    return kExitOk;
}

int WaitGone(const Invocation& call) {
    const std::wstring& windowName = call.line.Operand(0);
    const std::optional<HWND> handle = HandleOperand(windowName);
    const bool gone =
        handle
            ? WaitUntil(call.timeoutMs, [&] { return !::IsWindow(*handle); })
            : WaitUntil(call.timeoutMs, [&] { return FindWindows(Captioned(windowName)).empty(); });
    if (!gone) {
        throw DriverError("window " + Narrow(windowName) + " still there after " +
                              std::to_string(call.timeoutMs) + " ms",
                          kExitUnmet);
    }
    return kExitOk;
}

int ListWindows(const Invocation&) {
    Print(DescribeWindows());
    return kExitOk;
}

int ProcessStats(const Invocation& call) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(call.Target().Window(), &processId);
    const platform::win32::UniqueHandle process(
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process) {
        throw DriverError("cannot open process " + std::to_string(processId) + ": error " +
                          std::to_string(::GetLastError()));
    }
    DWORD handles = 0;
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (!::GetProcessHandleCount(process.get(), &handles) ||
        !::GetProcessMemoryInfo(process.get(), &memory, sizeof memory)) {
        throw DriverError("cannot read process " + std::to_string(processId) + ": error " +
                          std::to_string(::GetLastError()));
    }
    Print("handles=" + std::to_string(handles) +
          " gdi=" + std::to_string(::GetGuiResources(process.get(), GR_GDIOBJECTS)) +
          " user=" + std::to_string(::GetGuiResources(process.get(), GR_USEROBJECTS)) +
          " working-set=" + std::to_string(memory.WorkingSetSize) + "\n");
    return kExitOk;
}

int SetText(const Invocation& call) {
    const TargetWindow target = call.Target();
    const std::wstring& text = call.line.Operand(2);
    Send(call.ControlOf(target, 1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return kExitOk;
}

int Click(const Invocation& call) {
    const TargetWindow target = call.Target();
    const HWND button = call.ControlOf(target, 1);
    for (int i = call.line.Number(L"repeat", 1); i > 0; --i) {
        call.Deliver(button, BM_CLICK, 0, 0);
    }
    return kExitOk;
}

int Select(const Invocation& call) {
    const TargetWindow target = call.Target();
    const HWND list = call.ControlOf(target, 1);
    const auto index = static_cast<WPARAM>(ParseNumber(call.line.Operand(2), "index"));
    const LRESULT result = Send(list, LB_SETCURSEL, index, 0);
    if (result == LB_ERR && index != static_cast<WPARAM>(-1)) {
        throw DriverError("list " + Narrow(call.line.Operand(1)) + " has no item " +
                          Narrow(call.line.Operand(2)));
    }
    Send(::GetParent(list), WM_COMMAND,
         MAKEWPARAM(::GetDlgCtrlID(list), static_cast<WORD>(LBN_SELCHANGE)),
         reinterpret_cast<LPARAM>(list));
    return kExitOk;
}

int Menu(const Invocation& call) {
    const TargetWindow target = call.Target();
    const int index = call.line.Operands().size() > 2
                          ? static_cast<int>(ParseNumber(call.line.Operand(2), "index"))
                          : -1;
    call.Deliver(target.Window(), WM_COMMAND,
                 MAKEWPARAM(target.MenuId(call.line.Operand(1), index), 0), 0);
    return kExitOk;
}

int Key(const Invocation& call) {
    const TargetWindow target = call.Target();
    const HWND control = call.ControlOf(target, 1);
    const UINT key = KeyNumber(call.line.Operand(2));
    const LPARAM down = 1 | (static_cast<LPARAM>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16);
    Post(control, WM_KEYDOWN, key, down);
    Post(control, WM_KEYUP, key, down | static_cast<LPARAM>(0xC0000000u));
    return kExitOk;
}

struct MessageCall {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

MessageCall MessageOperands(const Invocation& call) {
    const TargetWindow target = call.Target();
    const std::wstring control = call.line.Value(L"control");
    const auto& operands = call.line.Operands();
    return {control.empty() ? target.Window() : target.Control(control),
            MessageNumber(call.line.Operand(1)),
            operands.size() > 2 ? static_cast<WPARAM>(ParseNumber(operands[2], "wParam")) : 0,
            operands.size() > 3 ? static_cast<LPARAM>(ParseNumber(operands[3], "lParam")) : 0};
}

int PostMessageCommand(const Invocation& call) {
    const MessageCall message = MessageOperands(call);
    for (int i = call.line.Number(L"repeat", 1); i > 0; --i) {
        Post(message.window, message.message, message.wParam, message.lParam);
    }
    return kExitOk;
}

int SendMessageCommand(const Invocation& call) {
    const MessageCall message = MessageOperands(call);
    Print(std::to_string(Send(message.window, message.message, message.wParam, message.lParam,
                              call.timeoutMs)) +
          "\n");
    return kExitOk;
}

int Focus(const Invocation& call) {
    const TargetWindow target = call.Target();
    const HWND control = call.line.Operands().size() > 1 ? call.ControlOf(target, 1) : nullptr;
    // SetFocus acts only on windows of a thread whose input this thread shares.
    const DWORD targetThread = ::GetWindowThreadProcessId(target.Window(), nullptr);
    const DWORD ownThread = ::GetCurrentThreadId();
    const bool attached = ::AttachThreadInput(ownThread, targetThread, TRUE) != FALSE;
    ::SetForegroundWindow(target.Window());
    if (control != nullptr) {
        ::SetFocus(control);
    }
    if (attached) {
        ::AttachThreadInput(ownThread, targetThread, FALSE);
    }
    const bool focused =
        WaitUntil(call.timeoutMs, [&] { return ::GetForegroundWindow() == target.Window(); });
    if (!focused) {
        throw DriverError("window " + HandleText(target.Window()) + " did not come to the front",
                          kExitUnmet);
    }
    return kExitOk;
}

int Close(const Invocation& call) {
    Post(call.Target().Window(), WM_CLOSE, 0, 0);
    return kExitOk;
}

int SendEndSession(const Invocation& call) {
    const HWND window = call.Target().Window();
    const LRESULT answer = Send(window, WM_QUERYENDSESSION, 0, 0, call.timeoutMs);
    Print(std::to_string(answer) + "\n");
    // A program that ends inside WM_ENDSESSION never answers it: that is not a failure.
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG,
                          static_cast<UINT>(call.timeoutMs), &ignored);
    return kExitOk;
}

int LockFile(const Invocation& call) {
    const HANDLE file = ::CreateFileW(call.line.Operand(0).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw DriverError("cannot open " + Narrow(call.line.Operand(0)) + ": error " +
                          std::to_string(::GetLastError()));
    }
    Print("locked\n");
    ::Sleep(static_cast<DWORD>(call.timeoutMs));
    ::CloseHandle(file);
    return kExitOk;
}

struct CommandEntry {
    std::wstring_view name;
    std::size_t operands;  // at least
    int (*run)(const Invocation&);
};

constexpr CommandEntry kCommands[] = {
    {L"text", 1, Text},
    {L"check-value", 2, CheckValue},
    {L"list-items", 2, ListItems},
    {L"list-selection", 2, ListSelection},
    {L"rows", 2, Rows},
    {L"status", 1, Status},
    {L"window-state", 1, WindowState},
    {L"visible", 1, Visible},
    {L"topmost", 1, Topmost},
    {L"foreground", 0, Foreground},
    {L"screenshot-rect", 1, ScreenshotRect},
    {L"wait-window", 0, WaitWindow},
    {L"wait-gone", 1, WaitGone},
    {L"list-windows", 0, ListWindows},
    {L"process-stats", 1, ProcessStats},
    {L"set-text", 3, SetText},
    {L"click", 2, Click},
    {L"select", 3, Select},
    {L"select-row", 3, SelectRow},
    {L"menu", 2, Menu},
    {L"key", 3, Key},
    {L"post-message", 2, PostMessageCommand},
    {L"send-message", 2, SendMessageCommand},
    {L"focus", 1, Focus},
    {L"close", 1, Close},
    {L"send-endsession", 1, SendEndSession},
    {L"lock-file", 1, LockFile},
};

int Run(const std::vector<std::wstring>& arguments) {
    const CommandLine line(arguments, {L"post", L"frame", L"visible", L"help"});
    if (line.Command().empty() || line.Has(L"help")) {
        Print(kUsage);
        return line.Command().empty() && !line.Has(L"help") ? kExitError : kExitOk;
    }
    for (const CommandEntry& command : kCommands) {
        if (command.name == line.Command()) {
            if (line.Operands().size() < command.operands) {
                throw DriverError(Narrow(command.name) + ": needs " +
                                  std::to_string(command.operands) + " operands (see --help)");
            }
            return command.run({line, line.Number(L"timeout", kDefaultTimeoutMs)});
        }
    }
    throw DriverError("unknown command " + Narrow(line.Command()) + " (see --help)");
}

}  // namespace
}  // namespace quelldriver

int wmain(int argc, wchar_t** argv) {
    // Bytes out as they are: UTF-8 with LF line ends, whatever the console's code page.
    _setmode(_fileno(stdout), _O_BINARY);
    try {
        return quelldriver::Run(std::vector<std::wstring>(argv + 1, argv + argc));
    } catch (const quelldriver::DriverError& error) {
        std::fprintf(stderr, "quelldriver: %s\n", error.what());
        return error.ExitCode();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quelldriver: %s\n", error.what());
        return quelldriver::kExitError;
    }
}
