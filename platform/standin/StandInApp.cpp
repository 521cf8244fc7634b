#include "platform/standin/StandInApp.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "platform/win32/Dpi.h"

namespace standin {
namespace {

// The host's own: the next step of the open-and-close cycles.
constexpr UINT kHostNextCycle = WM_APP + 10;

}  // namespace

HRESULT RotEntry::Register(IUnknown* object, IMoniker* name) {
    Revoke();
    HRESULT result = ::GetRunningObjectTable(0, table_.put());
    if (FAILED(result)) {
        return result;
    }
    result = table_->Register(ROTFLAGS_REGISTRATIONKEEPSALIVE | ROTFLAGS_ALLOWANYCLIENT, object,
                              name, &cookie_);
    if (FAILED(result)) {
        // Windows grants "any client" only to servers with a registered identity; clients of
        // the same user find the object without it.
        result = table_->Register(ROTFLAGS_REGISTRATIONKEEPSALIVE, object, name, &cookie_);
    }
    if (FAILED(result)) {
        cookie_ = 0;
    }
    return result;
}

void RotEntry::Revoke() {
    if (table_ && cookie_ != 0) {
        table_->Revoke(std::exchange(cookie_, 0));
    }
    table_.reset();
}

StandInApp::StandInApp(HINSTANCE instance, Options options, RequestLog& log)
    : instance_(instance), options_(std::move(options)), log_(log) {
    LOGFONTW face = platform::win32::MessageFontForDpi(::GetDpiForSystem());
    textFont_.reset(::CreateFontIndirectW(&face));
    face.lfUnderline = TRUE;
    linkFont_.reset(::CreateFontIndirectW(&face));
}

StandInApp::~StandInApp() {
    // Windows still open after a failed start: destroyed outside the list they remove
    // themselves from.
    std::vector<std::unique_ptr<BrowserWindow>> windows;
    windows.swap(windows_);
    windows.clear();
    rotEntry_.Revoke();
    if (list_) {
        list_->Disconnect();
        list_.reset();
    }
    if (host_ != nullptr) {
        ::DestroyWindow(host_);
    }
}

int StandInApp::Run() {
    const int started = Start();
    if (started != kExitOk) {
        return started;
    }
    MessageLoop();
    return kExitOk;
}

int StandInApp::Start() {
    if (!BrowserWindow::RegisterClasses(instance_) || !CreateHost()) {
        return kExitNoWindow;
    }
    list_ = MakeComObject<ShellWindows>();
    ComPtr<IMoniker> name;
    if (FAILED(::CreateItemMoniker(kRotDelimiter, kRotItemName, name.put()))) {
        return kExitNoWindow;
    }
    const HRESULT registered =
        rotEntry_.Register(static_cast<IShellWindows*>(list_.get()), name.get());
    if (registered == MK_S_MONIKERALREADYREGISTERED) {
        return kExitAlreadyRunning;
    }
    if (FAILED(registered)) {
        return kExitNoWindow;
    }
    for (int i = 0; i < options_.windows; ++i) {
        if (!OpenWindow(i == 0 ? options_.url : std::wstring(kNewWindowUrl))) {
            return kExitNoWindow;
        }
    }
    return kExitOk;
}

void StandInApp::MessageLoop() {
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        const HWND top = message.hwnd != nullptr ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        // Tab moves between controls and Enter reaches the window as IDOK.
        if (top != nullptr && IsBrowserWindow(top) && ::IsDialogMessageW(top, &message)) {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

bool StandInApp::IsBrowserWindow(HWND window) const {
    return std::any_of(windows_.begin(), windows_.end(),
                       [window](const auto& open) { return open->Handle() == window; });
}

bool StandInApp::OpenWindow(const std::wstring& url) {
    std::unique_ptr<BrowserWindow> window = BrowserWindow::Create(*this, url, opened_++);
    if (!window) {
        return false;
    }
    BrowserWindow& opened = *window;
    windows_.push_back(std::move(window));
    opened.Register();
    return true;
}

void StandInApp::Forget(BrowserWindow& window) {
    const auto found = std::find_if(windows_.begin(), windows_.end(),
                                    [&window](const auto& open) { return open.get() == &window; });
    if (found == windows_.end()) {
        return;
    }
    const std::unique_ptr<BrowserWindow> gone = std::move(*found);
    windows_.erase(found);
    if (gone.get() == cycling_) {
        cycling_ = nullptr;
        ++cyclesDone_;
        ::PostMessageW(host_, kHostNextCycle, 0, 0);
    }
    if (windows_.empty()) {
        ::PostQuitMessage(0);
    }
}

void StandInApp::StartCycles(int count) {
    if (cyclesLeft_ == 0 && cycling_ == nullptr) {
        cyclesDone_ = 0;
        ::PostMessageW(host_, kHostNextCycle, 0, 0);
    }
    cyclesLeft_ += count;
}

void StandInApp::NextCycle() {
    if (cycling_ != nullptr) {
        cycling_->RequestClose();  // Forget posts the next step
        return;
    }
    if (cyclesLeft_ == 0) {
        log_.Append("cycles=" + std::to_string(cyclesDone_));
        return;
    }
    --cyclesLeft_;
    if (!OpenWindow(kNewWindowUrl)) {
        log_.Append("cycles failed at " + std::to_string(cyclesDone_));
        cyclesLeft_ = 0;
        return;
    }
    cycling_ = windows_.back().get();
    ::PostMessageW(host_, kHostNextCycle, 0, 0);
}

void StandInApp::CloseAll() {
    if (windows_.empty()) {
        ::PostQuitMessage(0);
    }
    for (const auto& window : windows_) {
        window->RequestClose();
    }
}

namespace {

// IWebBrowser2::Navigate's dispatch identifier.
constexpr DISPID kDispidNavigate = 0x68;

// One sender: its own apartment, and the window it asks through, marshalled into it.
struct StormSender {
    int requests;
    IStream* window;  // released by unmarshalling
};

DWORD WINAPI SendStorm(void* parameter) {
    const std::unique_ptr<StormSender> sender(static_cast<StormSender*>(parameter));
    if (FAILED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
        sender->window->Release();
        return 1;
    }
    {
        // IDispatch: its proxy is built in, where one for IWebBrowser2 would be made from the
        // type library by many calls back into the window's thread.
        ComPtr<IDispatch> browser;
        if (SUCCEEDED(::CoGetInterfaceAndReleaseStream(sender->window, IID_IDispatch,
                                                       reinterpret_cast<void**>(browser.put())))) {
            for (int i = 0; i < sender->requests; ++i) {
                const UniqueBstr url = MakeBstr(kDefaultPopupUrl);
                VARIANT arguments[2];  // last first: Flags, URL
                ::VariantInit(&arguments[0]);
                arguments[0].vt = VT_I4;
                arguments[0].lVal = navOpenInNewWindow;
                ::VariantInit(&arguments[1]);
                arguments[1].vt = VT_BSTR;
                arguments[1].bstrVal = url.get();
                DISPPARAMS params{arguments, nullptr, 2, 0};
                // A window closed meanwhile refuses; the rest of the storm goes on.
                browser->Invoke(kDispidNavigate, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                &params, nullptr, nullptr, nullptr);
            }
        }
    }
    ::CoUninitialize();
    return 0;
}

}  // namespace

void StandInApp::PopupEverywhere(int requests) {
    for (const auto& window : windows_) {
        auto sender = std::make_unique<StormSender>(StormSender{requests, nullptr});
        if (FAILED(::CoMarshalInterThreadInterfaceInStream(
                IID_IDispatch, static_cast<IWebBrowser2*>(&window->Object()), &sender->window))) {
            continue;
        }
        // Not waited for: its calls need this thread to answer them. One still asking when the
        // process ends ends with it.
        const platform::win32::UniqueHandle thread(
            ::CreateThread(nullptr, 0, &SendStorm, sender.get(), 0, nullptr));
        if (thread) {
            sender.release();
        } else {
            ::CoReleaseMarshalData(sender->window);
            sender->window->Release();
        }
    }
}

bool StandInApp::CreateHost() {
    WNDCLASSEXW hostClass{};
    hostClass.cbSize = sizeof hostClass;
    hostClass.lpfnWndProc = HostProc;
    hostClass.hInstance = instance_;
    hostClass.lpszClassName = kHostWindowClass;
    if (::RegisterClassExW(&hostClass) == 0) {
        return false;
    }
    host_ = ::CreateWindowExW(0, kHostWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              instance_, this);
    return host_ != nullptr;
}

LRESULT CALLBACK StandInApp::HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        ::SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* app = reinterpret_cast<StandInApp*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (app != nullptr && message == kHostOpenWindow) {
        app->OpenWindow(kNewWindowUrl);
        return 0;
    }
    if (app != nullptr && message == kHostNextCycle) {
        app->NextCycle();
        return 0;
    }
    if (app != nullptr && message == WM_CLOSE) {
        app->CloseAll();
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace standin
