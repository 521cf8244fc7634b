// The stand-in's tests: GoogleTest in a COM apartment. "--standin <path>" names the program
// under test; "--advise-and-exit" makes this process a client that advises a sink on the first
// browser window and dies without unadvising (the dead-sink case).
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "StandInTestSupport.h"
#include "platform/standin/Browser.h"
#include "platform/win32/Unicode.h"

namespace {

using namespace standin::testing;

int AdviseAndExit() {
    ComPtr<IShellWindows> list;
    PumpUntil([&] { return static_cast<bool>(list = FindList()); }, 20000);
    const ComPtr<IWebBrowser2> first = list ? WindowAt(*list, 0) : ComPtr<IWebBrowser2>();
    if (!first) {
        return 1;
    }
    auto* sink = new TestSink(DIID_DWebBrowserEvents2);  // never released: the process dies
    auto* advised = new Advised(first.get(), DIID_DWebBrowserEvents2, sink);
    ::TerminateProcess(::GetCurrentProcess(), SUCCEEDED(advised->result()) ? 0 : 2);
    return 3;
}

// Wine with no window manager waits two seconds for one each time it hides a window it handed
// over; the stand-in's windows need none, so Wine keeps them to itself (for that program only).
void KeepStandInWindowsFromTheWindowManager() {
    if (::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr) {
        return;
    }
    static constexpr wchar_t kNo[] = L"N";
    ::RegSetKeyValueW(HKEY_CURRENT_USER,
                      L"Software\\Wine\\AppDefaults\\StandInBrowser.exe\\X11 Driver", L"Managed",
                      REG_SZ, kNo, sizeof kNo);
}

std::wstring DefaultStandInPath() {
    std::wstring folder = standin::ProgramPath();
    folder.resize(folder.find_last_of(L'\\') + 1);
    return folder + L"..\\..\\bin\\StandInBrowser.exe";
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    g_standInPath = DefaultStandInPath();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--advise-and-exit") == 0) {
            return AdviseAndExit();
        }
        if (std::strcmp(argv[i], "--standin") == 0 && i + 1 < argc) {
            // CTest hands over the build tree's Unix path; Wine shows the root as drive Z:.
            const std::string path = argv[++i];
            g_standInPath = platform::win32::Widen((path.starts_with('/') ? "Z:" : "") + path);
        }
    }
    KeepStandInWindowsFromTheWindowManager();
    const int result = RUN_ALL_TESTS();
    ::CoUninitialize();
    return result;
}
