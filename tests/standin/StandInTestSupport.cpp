#include "StandInTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "platform/standin/ComSupport.h"
#include "platform/standin/StandInProtocol.h"
#include "platform/win32/Unicode.h"

namespace standin::testing {

std::wstring g_standInPath;

TestSink::~TestSink() {
    // Other processes' stubs may still hold the sink; they must let go before it goes.
    ::CoDisconnectObject(this, 0);
}

HRESULT TestSink::QueryInterface(REFIID iid, void** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == events_) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT TestSink::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

HRESULT TestSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                         UINT*) {
    SinkCall call{id, {}, {}, {}, {}, false};
    VARIANT_BOOL* cancel = nullptr;
    for (UINT i = 0; i < params->cArgs; ++i) {
        VARIANT& arg = params->rgvarg[i];
        call.types.push_back(arg.vt);
        if (arg.vt == VT_BSTR) {
            call.texts.push_back(FromBstr(arg.bstrVal));
        } else if (arg.vt == (VT_BYREF | VT_VARIANT) && arg.pvarVal->vt == VT_BSTR) {
            call.texts.push_back(FromBstr(arg.pvarVal->bstrVal));
        } else if (arg.vt == VT_I4) {
            call.number = arg.lVal;
        } else if (arg.vt == (VT_BYREF | VT_BOOL)) {
            cancel = arg.pboolVal;
            call.cancelIn = *cancel;
        } else if (arg.vt == VT_DISPATCH) {
            call.dispatchPassed = arg.pdispVal != nullptr;
        } else if (arg.vt == (VT_BYREF | VT_DISPATCH) && offer != nullptr) {
            *arg.ppdispVal = offer;
            offer->AddRef();
        }
    }
    calls.push_back(call);
    if (journal != nullptr) {
        journal->push_back(id);
    }
    if (onCall) {
        onCall(call);
    }
    const auto answer = answers.find(id);
    if (cancel != nullptr && answer != answers.end()) {
        *cancel = answer->second;
    }
    return result;
}

std::vector<DISPID> TestSink::Ids() const {
    std::vector<DISPID> ids;
    for (const SinkCall& call : calls) {
        ids.push_back(call.id);
    }
    return ids;
}

const SinkCall* TestSink::Last(DISPID id) const {
    for (auto call = calls.rbegin(); call != calls.rend(); ++call) {
        if (call->id == id) {
            return &*call;
        }
    }
    return nullptr;
}

Advised::Advised(IUnknown* source, const IID& events, IUnknown* sink) {
    ComPtr<IConnectionPointContainer> container;
    result_ = source->QueryInterface(IID_IConnectionPointContainer,
                                     reinterpret_cast<void**>(container.put()));
    if (SUCCEEDED(result_)) {
        result_ = container->FindConnectionPoint(events, point_.put());
    }
    if (SUCCEEDED(result_)) {
        result_ = point_->Advise(sink, &cookie_);
    }
}

Advised::~Advised() {
    if (SUCCEEDED(result_)) {
        point_->Unadvise(cookie_);
    }
}

std::size_t Advised::Connections() const {
    ComPtr<IEnumConnections> connections;
    HRESULT result = point_ ? point_->EnumConnections(connections.put()) : E_POINTER;
    std::size_t count = 0;
    CONNECTDATA data;
    while (SUCCEEDED(result) && (result = connections->Next(1, &data, nullptr)) == S_OK) {
        data.pUnk->Release();
        ++count;
    }
    // A failed walk shows as a count no point can have, with the reason.
    EXPECT_EQ(result, S_FALSE) << "walking the connections failed";
    return result == S_FALSE ? count : static_cast<std::size_t>(-1);
}

namespace {

void PumpOnce() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// Waits for a handle or the deadline while serving messages; true when the handle was set.
bool WaitPumping(HANDLE handle, DWORD milliseconds) {
    const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
    for (;;) {
        PumpOnce();
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) {
            return handle != nullptr && ::WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
        }
        const DWORD left = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 20));
        const DWORD count = handle != nullptr ? 1 : 0;
        if (::MsgWaitForMultipleObjects(count, &handle, FALSE, left, QS_ALLINPUT) ==
                WAIT_OBJECT_0 &&
            handle != nullptr) {
            return true;
        }
    }
}

}  // namespace

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
    while (!done()) {
        if (::GetTickCount64() >= deadline) {
            return false;
        }
        WaitPumping(nullptr, 5);
    }
    return true;
}

void PumpFor(DWORD milliseconds) {
    WaitPumping(nullptr, milliseconds);
}

ComPtr<IShellWindows> FindList() {
    ComPtr<IRunningObjectTable> table;
    ComPtr<IMoniker> name;
    ComPtr<IUnknown> object;
    if (FAILED(::GetRunningObjectTable(0, table.put())) ||
        FAILED(::CreateItemMoniker(kRotDelimiter, kRotItemName, name.put())) ||
        table->GetObject(name.get(), object.put()) != S_OK) {
        return {};
    }
    return object.as<IShellWindows>();
}

ComPtr<IWebBrowser2> WindowAt(IShellWindows& list, LONG index) {
    VARIANT position = LongArg(index);
    ComPtr<IDispatch> window;
    if (list.Item(position, window.put()) != S_OK) {
        return {};
    }
    return window.as<IWebBrowser2>();
}

HWND HandleOf(IWebBrowser2& browser) {
    SHANDLE_PTR handle = 0;
    browser.get_HWND(&handle);
    return reinterpret_cast<HWND>(handle);
}

std::wstring LocationOf(IWebBrowser2& browser) {
    BSTR url = nullptr;
    if (FAILED(browser.get_LocationURL(&url))) {
        return L"<failed>";
    }
    const UniqueBstr owned(url);
    return FromBstr(owned.get());
}

LONG CountOf(IShellWindows& list) {
    LONG count = -1;
    list.get_Count(&count);
    return count;
}

std::wstring ControlText(HWND window, int id) {
    wchar_t text[1024] = L"";
    ::SendMessageTimeoutW(::GetDlgItem(window, id), WM_GETTEXT, std::size(text),
                          reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

void Click(HWND window, int id) {
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(window, id)));
}

void PressButton(HWND window, int id) {
    ::PostMessageW(::GetDlgItem(window, id), BM_CLICK, 0, 0);
}

platform::win32::UniqueHandle Spawn(std::wstring command, DWORD* processId) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        return {};
    }
    const platform::win32::UniqueHandle thread(info.hThread);
    if (processId != nullptr) {
        *processId = info.dwProcessId;
    }
    return platform::win32::UniqueHandle(info.hProcess);
}

StandInProcess::StandInProcess(const std::wstring& arguments) {
    const std::wstring log = platform::win32::Widen(folder_.File("standin.log"), CP_ACP);
    process_ = Spawn(L"\"" + g_standInPath + L"\" --log \"" + log + L"\" " + arguments, &id_);
}

StandInProcess::~StandInProcess() {
    if (process_ && !Close()) {
        ::TerminateProcess(process_.get(), 99);
        ::WaitForSingleObject(process_.get(), 10000);
    }
}

ComPtr<IShellWindows> StandInProcess::List() {
    ComPtr<IShellWindows> list;
    PumpUntil([&] { return WaitForExit(0).has_value() || (list = FindList()); }, 20000);
    return list;
}

HWND StandInProcess::Host() const {
    HWND host = nullptr;
    while ((host = ::FindWindowExW(HWND_MESSAGE, host, kHostWindowClass, nullptr)) != nullptr) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(host, &owner);
        if (owner == id_) {
            return host;
        }
    }
    return nullptr;
}

std::optional<DWORD> StandInProcess::Close(DWORD milliseconds) {
    if (!WaitForExit(0)) {
        ::PostMessageW(Host(), WM_CLOSE, 0, 0);
    }
    return WaitForExit(milliseconds);
}

std::optional<DWORD> StandInProcess::WaitForExit(DWORD milliseconds) {
    if (!exitCode_ && process_ && WaitPumping(process_.get(), milliseconds)) {
        DWORD code = 0;
        ::GetExitCodeProcess(process_.get(), &code);
        exitCode_ = code;
    }
    return exitCode_;
}

std::vector<std::string> StandInProcess::LogLines() const {
    std::vector<std::string> lines;
    std::istringstream in(folder_.Read("standin.log"));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

bool StandInProcess::WaitForRequests(std::size_t count, DWORD milliseconds) const {
    return PumpUntil(
        [&] {
            const std::vector<std::string> lines = LogLines();
            return static_cast<std::size_t>(
                       std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
                           return line.starts_with("request=");
                       })) >= count;
        },
        milliseconds);
}

std::map<std::string, std::string> Fields(const std::string& line) {
    std::map<std::string, std::string> fields;
    std::size_t start = 0;
    while (start < line.size()) {
        const std::size_t equals = line.find('=', start);
        if (equals == std::string::npos) {
            break;
        }
        const std::string key = line.substr(start, equals - start);
        // The address is last and may hold spaces.
        const std::size_t end = key == "url" ? line.size() : line.find(' ', equals);
        fields[key] =
            line.substr(equals + 1, (end == std::string::npos ? line.size() : end) - equals - 1);
        start = end == std::string::npos ? line.size() : end + 1;
    }
    return fields;
}

}  // namespace standin::testing
