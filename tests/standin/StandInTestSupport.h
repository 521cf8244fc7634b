// Test helpers for the stand-in browser: a recording event sink, a driver that starts the
// program in another process and finds its shell window list, and message pumping.
#pragma once

#include <windows.h>

#include <exdisp.h>
#include <ocidl.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/Handles.h"
#include "support/TempFolder.h"

namespace standin::testing {

using platform::win32::ComPtr;

// Where StandInBrowser.exe is (the test's --standin argument).
extern std::wstring g_standInPath;

struct SinkCall {
    DISPID id;
    std::vector<VARTYPE> types;       // rgvarg order: the last parameter first
    std::vector<std::wstring> texts;  // VT_BSTR and by-reference VT_BSTR arguments, rgvarg order
    std::optional<LONG> number;       // the VT_I4 argument
    std::optional<VARIANT_BOOL> cancelIn;  // Cancel as the sink received it
    bool dispatchPassed = false;           // a VT_DISPATCH argument held an object
};

// An event sink that records every call. Its reference count is plain, so tests can see
// that every reference handed out came back; the test owns the first reference.
class TestSink final : public IDispatch {
  public:
    explicit TestSink(const IID& events) : events_(events) {}
    ~TestSink();
    TestSink(const TestSink&) = delete;
    TestSink& operator=(const TestSink&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override;

    ULONG References() const { return references_; }
    std::vector<DISPID> Ids() const;
    const SinkCall* Last(DISPID id) const;  // the latest call of `id`, or null

    std::vector<SinkCall> calls;
    std::map<DISPID, VARIANT_BOOL> answers;  // Cancel written back, per event
    std::function<void(const SinkCall&)> onCall;
    std::vector<DISPID>* journal = nullptr;  // shared by sinks whose order matters
    HRESULT result = S_OK;                   // Invoke's answer
    IDispatch* offer = nullptr;              // put into ppDisp (with a reference) when set

  private:
    IID events_;
    ULONG references_ = 1;
};

// Advises a sink on an object's connection point for `events`; unadvises when it ends.
class Advised {
  public:
    Advised(IUnknown* source, const IID& events, IUnknown* sink);
    ~Advised();
    Advised(const Advised&) = delete;
    Advised& operator=(const Advised&) = delete;

    HRESULT result() const { return result_; }
    std::size_t Connections() const;  // sinks the point lists now (EnumConnections)

  private:
    ComPtr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
    HRESULT result_ = E_FAIL;
};

// Runs this thread's messages (incoming COM calls among them) until `done` or the timeout.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 15000);
void PumpFor(DWORD milliseconds);

// The list registered in this session's Running Object Table, if any.
ComPtr<IShellWindows> FindList();

ComPtr<IWebBrowser2> WindowAt(IShellWindows& list, LONG index);
HWND HandleOf(IWebBrowser2& browser);
std::wstring LocationOf(IWebBrowser2& browser);
LONG CountOf(IShellWindows& list);
std::wstring ControlText(HWND window, int id);
// Both post, since the stand-in may call back while it handles the click. Click posts the
// button's own notification; PressButton posts BM_CLICK, of which Wine was seen to lose about
// one in a few thousand.
void Click(HWND window, int id);
void PressButton(HWND window, int id);

// Starts `command` (program and arguments, as on a command line); the process, or none.
platform::win32::UniqueHandle Spawn(std::wstring command, DWORD* processId = nullptr);

// StandInBrowser.exe in a process of its own, with a log in a temporary folder. Ending the
// driver closes the program and waits for it.
class StandInProcess {
  public:
    explicit StandInProcess(const std::wstring& arguments);
    ~StandInProcess();
    StandInProcess(const StandInProcess&) = delete;
    StandInProcess& operator=(const StandInProcess&) = delete;

    bool started() const { return static_cast<bool>(process_); }
    DWORD Id() const { return id_; }
    // Waits for the list to appear in the table; empty when the program ended or took too long.
    ComPtr<IShellWindows> List();
    HWND Host() const;
    // Closes every window through the host window; the exit code, or nothing after the wait.
    std::optional<DWORD> Close(DWORD milliseconds = 20000);
    std::optional<DWORD> WaitForExit(DWORD milliseconds);
    std::vector<std::string> LogLines() const;
    // Waits until the log holds `count` lines that start with "request=".
    bool WaitForRequests(std::size_t count, DWORD milliseconds = 15000) const;

  private:
    quell::testing::TempFolder folder_;
    platform::win32::UniqueHandle process_;
    DWORD id_ = 0;
    std::optional<DWORD> exitCode_;
};

// "key=value" fields of a log line.
std::map<std::string, std::string> Fields(const std::string& line);

}  // namespace standin::testing
