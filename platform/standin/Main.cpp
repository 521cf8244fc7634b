// StandInBrowser.exe: publishes the browser's automation interfaces, so that QuellPane can be
// driven end to end on a machine where the browser does not exist.
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/standin/Options.h"
#include "platform/standin/RequestLog.h"
#include "platform/standin/StandInApp.h"

namespace {

class ComApartment {
  public:
    ComApartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) {
            ::CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    explicit operator bool() const { return SUCCEEDED(result_); }

  private:
    HRESULT result_;
};

std::vector<std::wstring> Arguments() {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&::LocalFree)> argv(
        ::CommandLineToArgvW(::GetCommandLineW(), &count), &::LocalFree);
    if (!argv) {
        return {};
    }
    return std::vector<std::wstring>(argv.get(), argv.get() + count);
}

void Complain(const std::wstring& text) {
    ::MessageBoxW(nullptr, text.c_str(), L"Stand-in Browser", MB_OK | MB_ICONERROR);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace standin;
    const std::vector<std::wstring> arguments = Arguments();
    std::wstring error;
    std::optional<Options> options =
        ParseOptions(std::span(arguments).subspan(arguments.empty() ? 0 : 1), error);
    if (!options) {
        Complain(error + L"\n\n" + kUsage);
        return kExitBadCommandLine;
    }
    RequestLog log;
    if (!log.Open(options->log)) {
        Complain(L"The log " + options->log + L" can't be opened.");
        return kExitBadCommandLine;
    }
    int code = kExitOk;
    {
        const ComApartment apartment;
        if (!apartment) {
            return kExitNoWindow;
        }
        StandInApp app(instance, std::move(*options), log);
        code = app.Run();
    }
    // Counted once the apartment has ended: its stubs have then given back every reference
    // that other processes still held, so what is left was leaked here.
    const long live = LiveObjects();
    log.Append(ExitLogLine(live));
    return code == kExitOk && live != 0 ? kExitLeak : code;
}
