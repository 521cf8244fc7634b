#include "tests/driver/TargetWindow.h"

#include <cstdio>
#include <cwctype>
#include <iterator>

#include "platform/win32/Handles.h"
#include "platform/win32/Unicode.h"
#include "resources/BlockedDesign.h"
#include "resources/Form1Design.h"
#include "resources/Form3Design.h"
#include "resources/SecondaryDesigns.h"
#include "tests/driver/CommandLine.h"

namespace quelldriver {
namespace {

using platform::win32::Narrow;
using platform::win32::UniqueHandle;
using platform::win32::Widen;
namespace design = quell::design;

const design::WindowDesign* const kDesigns[] = {
    &design::kForm1Design,  &design::kForm3Design,   &design::kHelpDesign,    &design::kAboutDesign,
    &design::kSplashDesign, &design::kWebsiteDesign, &design::kBlockedDesign,
};

std::wstring Lower(std::wstring_view text) {
    std::wstring lower(text);
    for (wchar_t& c : lower) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return lower;
}

std::wstring ProgramName(DWORD processId) {
    const UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) {
        return {};
    }
    wchar_t path[MAX_PATH * 4];
    DWORD size = static_cast<DWORD>(std::size(path));
    if (!::QueryFullProcessImageNameW(process.get(), 0, path, &size)) {
        return {};
    }
    const std::wstring_view full(path, size);
    const std::size_t slash = full.find_last_of(L"\\/");
    return std::wstring(slash == std::wstring_view::npos ? full : full.substr(slash + 1));
}

std::string Hex(unsigned long long value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", value);
    return text;
}

bool Matches(HWND window, const WindowQuery& query) {
    if (query.visibleOnly && !::IsWindowVisible(window)) {
        return false;
    }
    if (!query.className.empty() && ClassName(window) != query.className) {
        return false;
    }
    if (!query.title.empty() && WindowText(window) != query.title) {
        return false;
    }
    return query.exe.empty() || Lower(ProgramName(ProcessOf(window))) == Lower(query.exe);
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    ::EnumWindows(
        [](HWND window, LPARAM found) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::string Describe(const WindowQuery& query) {
    std::string text = "a window";
    if (!query.title.empty()) {
        text += " captioned \"" + Narrow(query.title) + "\"";
    }
    if (!query.className.empty()) {
        text += " of class " + Narrow(query.className);
    }
    if (!query.exe.empty()) {
        text += " of " + Narrow(query.exe);
    }
    return query.visibleOnly ? "a visible " + text.substr(2) : text;
}

}  // namespace

std::vector<HWND> FindWindows(const WindowQuery& query) {
    std::vector<HWND> found;
    for (const HWND window : TopLevelWindows()) {
        if (Matches(window, query)) {
            found.push_back(window);
        }
    }
    return found;
}

HWND WaitForWindow(const WindowQuery& query, int timeoutMs) {
    HWND window = nullptr;
    const bool appeared = WaitUntil(timeoutMs, [&] {
        const std::vector<HWND> found = FindWindows(query);
        window = found.empty() ? nullptr : found.front();
        return window != nullptr;
    });
    if (!appeared) {
        throw DriverError(
            "no " + Describe(query).substr(2) + " within " + std::to_string(timeoutMs) + " ms",
            kExitUnmet);
    }
    return window;
}

std::string DescribeWindows() {
    std::string lines;
    for (const HWND window : TopLevelWindows()) {
        const DWORD process = ProcessOf(window);
        lines += HandleText(window) + " pid=" + std::to_string(process) +
                 " visible=" + (::IsWindowVisible(window) ? "1" : "0") +
                 " class=" + Narrow(ClassName(window)) + " exe=" + Narrow(ProgramName(process)) +
                 " caption=\"" + Narrow(WindowText(window)) + "\"\n";
    }
    return lines;
}

const design::WindowDesign* DesignNamed(std::wstring_view name) {
    for (const design::WindowDesign* candidate : kDesigns) {
        if (Widen(candidate->name) == name) {
            return candidate;
        }
    }
    return nullptr;
}

const design::WindowDesign& DesignForCaption(std::wstring_view caption) {
    for (const design::WindowDesign* candidate : kDesigns) {
        if (!candidate->caption.empty() && Widen(candidate->caption) == caption) {
            return *candidate;
        }
    }
    // A design caption the program completes at run time ("About" and the product's name).
    for (const design::WindowDesign* candidate : kDesigns) {
        if (!candidate->caption.empty() && caption.starts_with(Widen(candidate->caption) + L" ")) {
            return *candidate;
        }
    }
    return design::kForm1Design;
}

HWND TargetWindow::Control(std::wstring_view name) const {
    int id = design::ControlId(*design_, Narrow(name));
    long long number = 0;
    if (id < 0 && TryParseNumber(name, number)) {
        id = static_cast<int>(number);
    }
    if (id < 0) {
        throw DriverError("no control " + Narrow(name) + " in the design of " +
                          std::string(design_->name));
    }
    const HWND control = ::GetDlgItem(window_, id);
    if (control == nullptr) {
        throw DriverError("control " + Narrow(name) + " (id " + std::to_string(id) +
                          ") is not in window " + HandleText(window_));
    }
    return control;
}

int TargetWindow::MenuId(std::wstring_view item, int index) const {
    const int id = design::MenuItemId(*design_, Narrow(item), index);
    if (id < 0) {
        throw DriverError("no menu item " + Narrow(item) + " (" + std::to_string(index) +
                          ") in the design of " + std::string(design_->name));
    }
    return id;
}

std::optional<HWND> HandleOperand(std::wstring_view windowName) {
    long long number = 0;
    if (!TryParseNumber(windowName, number)) {
        return std::nullopt;
    }
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(number));
}

TargetWindow OpenTarget(std::wstring_view windowName, std::wstring_view formName, int timeoutMs) {
    HWND window = nullptr;
    if (const std::optional<HWND> handle = HandleOperand(windowName)) {
        window = *handle;
        if (!::IsWindow(window)) {
            throw DriverError("no window " + Narrow(windowName));
        }
    } else {
        window = WaitForWindow(Captioned(windowName), timeoutMs);
    }
    if (formName.empty()) {
        return {window, DesignForCaption(WindowText(window))};
    }
    const design::WindowDesign* named = DesignNamed(formName);
    if (named == nullptr) {
        throw DriverError("no window design named " + Narrow(formName));
    }
    return {window, *named};
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int timeoutMs) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG,
                               static_cast<UINT>(timeoutMs), &result)) {
        const DWORD error = ::GetLastError();
        throw DriverError("message " + Hex(message) + " to window " + HandleText(window) +
                          " got no answer (error " + std::to_string(error) + ")");
    }
    return static_cast<LRESULT>(result);
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!::PostMessageW(window, message, wParam, lParam)) {
        throw DriverError("cannot post to window " + HandleText(window) + " (error " +
                          std::to_string(::GetLastError()) + ")");
    }
}

std::wstring WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(),
                               reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000,
                               &copied)) {
        return {};
    }
    text.resize(copied);
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[256];
    const int length = ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return std::wstring(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process;
}

std::string HandleText(HWND window) {
    return Hex(reinterpret_cast<UINT_PTR>(window));
}

}  // namespace quelldriver
