// Counting fakes of the browser's COM objects for in-process tests: browser windows and a shell
// window list with real connection points, whose events a test fires into the sinks it holds.
#pragma once

#include <exdisp.h>
#include <ocidl.h>
#include <olectl.h>
#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/ComObject.h"

namespace quell::testing {

using platform::win32::ComObject;
using platform::win32::ComPtr;
using platform::win32::MakeComObject;

// Fakes created and not yet destroyed.
inline int& LiveFakes() {
    static int live = 0;
    return live;
}

template <class... Interfaces>
class CountedFake : public ComObject<Interfaces...> {
  protected:
    CountedFake() { ++LiveFakes(); }
    ~CountedFake() override { --LiveFakes(); }
};

#define NOT_IMPLEMENTED(name, ...)                         \
    HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { \
        return E_NOTIMPL;                                  \
    }
#define DISPATCH_NOT_IMPLEMENTED                                           \
    NOT_IMPLEMENTED(GetTypeInfoCount, UINT*)                               \
    NOT_IMPLEMENTED(GetTypeInfo, UINT, LCID, ITypeInfo**)                  \
    NOT_IMPLEMENTED(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*) \
    NOT_IMPLEMENTED(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)

// One event source. Each sink it was given keeps one more reference, a probe, so that a test can
// tell afterwards whether anyone else still holds it.
class FakeConnectionPoint final : public CountedFake<IConnectionPoint> {
  public:
    explicit FakeConnectionPoint(const IID& events) : events_(events) {}

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
        *iid = events_;
        return S_OK;
    }
    NOT_IMPLEMENTED(GetConnectionPointContainer, IConnectionPointContainer**)
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
        ComPtr<IDispatch> dispatch;
        if (sink == nullptr ||
            FAILED(sink->QueryInterface(events_, reinterpret_cast<void**>(dispatch.put())))) {
            return CONNECT_E_CANNOTCONNECT;
        }
        probes_.push_back(dispatch);
        *cookie = ++lastCookie_;
        sinks_.emplace(*cookie, std::move(dispatch));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        return sinks_.erase(cookie) == 1 ? S_OK : CONNECT_E_NOCONNECTION;
    }
    NOT_IMPLEMENTED(EnumConnections, IEnumConnections**)

    // Raises an event the way a source does: every sink held for its call. `arguments` are in
    // DISPPARAMS order, the last argument first.
    void Fire(DISPID id, std::vector<VARIANT>& arguments) {
        std::vector<ComPtr<IDispatch>> sinks;
        for (const auto& [cookie, sink] : sinks_) {
            sinks.push_back(sink);
        }
        for (const auto& sink : sinks) {
            DISPPARAMS params{arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
            lastResult =
                sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        }
    }
    // Sinks as the source last saw them, raw, for a test that calls Invoke itself.
    std::vector<IDispatch*> Sinks() const {
        std::vector<IDispatch*> sinks;
        for (const auto& [cookie, sink] : sinks_) {
            sinks.push_back(sink.get());
        }
        return sinks;
    }
    int Connected() const { return static_cast<int>(sinks_.size()); }
    int EverConnected() const { return static_cast<int>(probes_.size()); }
    // Lets go of the probes; answers how many sinks someone else still held.
    int ReleaseProbes() {
        int held = 0;
        for (auto& probe : probes_) {
            held += probe.release()->Release() != 0 ? 1 : 0;
        }
        probes_.clear();
        return held;
    }

    HRESULT lastResult = S_OK;

  private:
    void* Find(REFIID iid) override {
        return iid == IID_IUnknown || iid == IID_IConnectionPoint
                   ? static_cast<IConnectionPoint*>(this)
                   : nullptr;
    }

    IID events_;
    DWORD lastCookie_ = 0;
    std::map<DWORD, ComPtr<IDispatch>> sinks_;
    std::vector<ComPtr<IDispatch>> probes_;
};

// Answers FindConnectionPoint for one events IID.
template <class Interface>
class FakeEventSource : public CountedFake<Interface, IConnectionPointContainer> {
  public:
    explicit FakeEventSource(const IID& eventsIid)
        : eventsIid_(eventsIid), events(MakeComObject<FakeConnectionPoint>(eventsIid)) {}

    NOT_IMPLEMENTED(EnumConnectionPoints, IEnumConnectionPoints**)
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
        if (iid != eventsIid_) {
            *point = nullptr;
            return CONNECT_E_NOCONNECTION;
        }
        events.copyTo(point);
        return S_OK;
    }

  private:
    IID eventsIid_;

  public:
    const ComPtr<FakeConnectionPoint> events;
};

class FakeComBrowser final : public FakeEventSource<IWebBrowser2> {
  public:
    explicit FakeComBrowser(std::wstring address)
        : FakeEventSource(DIID_DWebBrowserEvents2), url(std::move(address)) {}

    // A window whose process died: only IUnknown still answers, as a proxy does.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        const bool connectionPoints = iid == IID_IConnectionPointContainer;
        if (iid != IID_IUnknown && (dead || (diesBeforeAttach && connectionPoints))) {
            *out = nullptr;
            return RPC_E_DISCONNECTED;
        }
        return FakeEventSource::QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE get_LocationURL(BSTR* address) override {
        *address = nullptr;
        if (dead) {
            return RPC_E_DISCONNECTED;
        }
        *address = ::SysAllocStringLen(url.data(), static_cast<UINT>(url.size()));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Quit() override {
        ++quitCalls;
        return dead ? RPC_E_DISCONNECTED : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return dead ? RPC_E_DISCONNECTED : S_OK;
    }

    NOT_IMPLEMENTED(GetTypeInfo, UINT, LCID, ITypeInfo**)
    NOT_IMPLEMENTED(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
    NOT_IMPLEMENTED(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
    NOT_IMPLEMENTED(GoBack)
    NOT_IMPLEMENTED(GoForward)
    NOT_IMPLEMENTED(GoHome)
    NOT_IMPLEMENTED(GoSearch)
    NOT_IMPLEMENTED(Navigate, BSTR, VARIANT*, VARIANT*, VARIANT*, VARIANT*)
    NOT_IMPLEMENTED(Refresh)
    NOT_IMPLEMENTED(Refresh2, VARIANT*)
    NOT_IMPLEMENTED(Stop)
    NOT_IMPLEMENTED(get_Application, IDispatch**)
    NOT_IMPLEMENTED(get_Parent, IDispatch**)
    NOT_IMPLEMENTED(get_Container, IDispatch**)
    NOT_IMPLEMENTED(get_Document, IDispatch**)
    NOT_IMPLEMENTED(get_TopLevelContainer, VARIANT_BOOL*)
    NOT_IMPLEMENTED(get_Type, BSTR*)
    NOT_IMPLEMENTED(get_Left, LONG*)
    NOT_IMPLEMENTED(put_Left, LONG)
    NOT_IMPLEMENTED(get_Top, LONG*)
    NOT_IMPLEMENTED(put_Top, LONG)
    NOT_IMPLEMENTED(get_Width, LONG*)
    NOT_IMPLEMENTED(put_Width, LONG)
    NOT_IMPLEMENTED(get_Height, LONG*)
    NOT_IMPLEMENTED(put_Height, LONG)
    NOT_IMPLEMENTED(get_LocationName, BSTR*)
    NOT_IMPLEMENTED(get_Busy, VARIANT_BOOL*)
    NOT_IMPLEMENTED(ClientToWindow, int*, int*)
    NOT_IMPLEMENTED(PutProperty, BSTR, VARIANT)
    NOT_IMPLEMENTED(GetProperty, BSTR, VARIANT*)
    NOT_IMPLEMENTED(get_Name, BSTR*)
    NOT_IMPLEMENTED(get_HWND, SHANDLE_PTR*)
    NOT_IMPLEMENTED(get_FullName, BSTR*)
    NOT_IMPLEMENTED(get_Path, BSTR*)
    NOT_IMPLEMENTED(get_Visible, VARIANT_BOOL*)
    NOT_IMPLEMENTED(put_Visible, VARIANT_BOOL)
    NOT_IMPLEMENTED(get_StatusBar, VARIANT_BOOL*)
    NOT_IMPLEMENTED(put_StatusBar, VARIANT_BOOL)
    NOT_IMPLEMENTED(get_StatusText, BSTR*)
    NOT_IMPLEMENTED(put_StatusText, BSTR)
    NOT_IMPLEMENTED(get_ToolBar, int*)
    NOT_IMPLEMENTED(put_ToolBar, int)
    NOT_IMPLEMENTED(get_MenuBar, VARIANT_BOOL*)
    NOT_IMPLEMENTED(put_MenuBar, VARIANT_BOOL)
    NOT_IMPLEMENTED(get_FullScreen, VARIANT_BOOL*)
    NOT_IMPLEMENTED(put_FullScreen, VARIANT_BOOL)
    NOT_IMPLEMENTED(Navigate2, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*)
    NOT_IMPLEMENTED(QueryStatusWB, OLECMDID, OLECMDF*)
    NOT_IMPLEMENTED(ExecWB, OLECMDID, OLECMDEXECOPT, VARIANT*, VARIANT*)
    NOT_IMPLEMENTED(ShowBrowserBar, VARIANT*, VARIANT*, VARIANT*)
    NOT_IMPLEMENTED(get_ReadyState, READYSTATE*)
    NOT_IMPLEMENTED(get_Offline, VARIANT_BOOL*)
    NOT_IMPLEMENTED(put_Offline, VARIANT_BOOL)
    NOT_IMPLEMENTED(get_Silent, VARIANT_BOOL*)
    NOT_IMPLEMENTED(put_Silent, VARIANT_BOOL)
    NOT_IMPLEMENTED(get_RegisterAsBrowser, VARIANT_BOOL*)
    NOT_IMPLEMENTED(put_RegisterAsBrowser, VARIANT_BOOL)
    NOT_IMPLEMENTED(get_RegisterAsDropTarget, VARIANT_BOOL*)
    NOT_IMPLEMENTED(put_RegisterAsDropTarget, VARIANT_BOOL)
    NOT_IMPLEMENTED(get_TheaterMode, VARIANT_BOOL*)
    NOT_IMPLEMENTED(put_TheaterMode, VARIANT_BOOL)
    NOT_IMPLEMENTED(get_AddressBar, VARIANT_BOOL*)
    NOT_IMPLEMENTED(put_AddressBar, VARIANT_BOOL)
    NOT_IMPLEMENTED(get_Resizable, VARIANT_BOOL*)
    NOT_IMPLEMENTED(put_Resizable, VARIANT_BOOL)

    std::wstring url;
    bool dead = false;
    bool diesBeforeAttach = false;
    int quitCalls = 0;

  private:
    void* Find(REFIID iid) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IWebBrowser ||
            iid == IID_IWebBrowserApp || iid == IID_IWebBrowser2) {
            return static_cast<IWebBrowser2*>(this);
        }
        return iid == IID_IConnectionPointContainer ? static_cast<IConnectionPointContainer*>(this)
                                                    : nullptr;
    }
};

class FakeComShellWindows final : public FakeEventSource<IShellWindows> {
  public:
    FakeComShellWindows() : FakeEventSource(DIID_DShellWindowsEvents) {}

    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
        *count = static_cast<LONG>(items.size());
        return countResult;
    }
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, IDispatch** item) override {
        *item = nullptr;
        if (countResult == E_NOTIMPL) {
            return E_NOTIMPL;
        }
        if (index.vt != VT_I4) {
            return E_INVALIDARG;
        }
        if (index.lVal == failAt) {
            return RPC_E_DISCONNECTED;
        }
        if (index.lVal < 0 || index.lVal >= static_cast<LONG>(items.size())) {
            return S_FALSE;
        }
        items[static_cast<std::size_t>(index.lVal)].copyTo(item);
        return S_OK;
    }

    DISPATCH_NOT_IMPLEMENTED
    NOT_IMPLEMENTED(_NewEnum, IUnknown**)
    NOT_IMPLEMENTED(Register, IDispatch*, LONG, int, LONG*)
    NOT_IMPLEMENTED(RegisterPending, LONG, VARIANT*, VARIANT*, int, LONG*)
    NOT_IMPLEMENTED(Revoke, LONG)
    NOT_IMPLEMENTED(OnNavigate, LONG, VARIANT*)
    NOT_IMPLEMENTED(OnActivated, LONG, VARIANT_BOOL)
    NOT_IMPLEMENTED(FindWindowSW, VARIANT*, VARIANT*, int, LONG*, int, IDispatch**)
    NOT_IMPLEMENTED(OnCreated, LONG, IUnknown*)
    NOT_IMPLEMENTED(ProcessAttachDetach, VARIANT_BOOL)

    void Announce(DISPID id) {
        VARIANT cookie;
        ::VariantInit(&cookie);
        cookie.vt = VT_I4;
        cookie.lVal = 7;
        std::vector<VARIANT> arguments{cookie};
        events->Fire(id, arguments);
    }

    std::vector<ComPtr<IDispatch>> items;
    HRESULT countResult = S_OK;  // E_NOTIMPL: the list of a system that has none
    LONG failAt = -1;

  private:
    void* Find(REFIID iid) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IShellWindows) {
            return static_cast<IShellWindows*>(this);
        }
        return iid == IID_IConnectionPointContainer ? static_cast<IConnectionPointContainer*>(this)
                                                    : nullptr;
    }
};

// An item of the list that is not a browser window.
class FakeOtherWindow final : public CountedFake<IDispatch> {
  public:
    DISPATCH_NOT_IMPLEMENTED

  private:
    void* Find(REFIID iid) override {
        return iid == IID_IUnknown || iid == IID_IDispatch ? static_cast<IDispatch*>(this)
                                                           : nullptr;
    }
};

#undef DISPATCH_NOT_IMPLEMENTED
#undef NOT_IMPLEMENTED

}  // namespace quell::testing
