// What the shell window list and the browser windows share: IDispatch described by the
// browser's type library, and a connection point container with one event interface.
#pragma once

#include <ocidl.h>

#include <utility>
#include <vector>

#include "platform/standin/ComSupport.h"
#include "platform/standin/ConnectionPoint.h"
#include "platform/standin/Enumerators.h"

namespace standin {

// IDispatch of one dual interface through its type information, loaded on first use. Without a
// type library the vtable still works and IDispatch answers that it knows no member.
class DualDispatch {
  public:
    explicit DualDispatch(const IID& dual) : dual_(dual) {}

    UINT TypeInfoCount();
    HRESULT GetTypeInfo(UINT index, ITypeInfo** info);
    HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids);
    // `object` is the dual interface's vtable.
    HRESULT Invoke(void* object, DISPID id, REFIID iid, WORD flags, DISPPARAMS* params,
                   VARIANT* result, EXCEPINFO* exception, UINT* badArgument);

  private:
    bool Load();

    IID dual_;
    bool tried_ = false;
    ComPtr<ITypeInfo> dispatchInfo_;   // what callers are handed
    ComPtr<ITypeInfo> interfaceInfo_;  // the vtable view: DispInvoke on the dispatch view of a
                                       // dual interface would call back into Invoke
};

template <class Dual>
class AutomationObject : public CountedObject<Dual, IConnectionPointContainer> {
  public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = dispatch_.TypeInfoCount();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        return dispatch_.GetTypeInfo(index, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        return dispatch_.GetIDsOfNames(iid, names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* badArgument) override {
        return dispatch_.Invoke(static_cast<Dual*>(this), id, iid, flags, params, result, exception,
                                badArgument);
    }

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override {
        if (points == nullptr) {
            return E_POINTER;
        }
        std::vector<ComPtr<IConnectionPoint>> all{ComPtr<IConnectionPoint>(events_.get())};
        *points = MakeComObject<ConnectionPointEnum>(std::move(all)).release();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
        if (point == nullptr) {
            return E_POINTER;
        }
        *point = nullptr;
        if (iid != events_->EventsIid()) {
            return CONNECT_E_NOCONNECTION;
        }
        events_.copyTo(point);
        return S_OK;
    }

    ConnectionPoint& Events() { return *events_; }

    // Ends every connection: sinks are released and other processes' proxies of this object
    // fail from now on, so their references no longer keep it alive.
    void Disconnect() {
        events_->DropAll();
        ::CoDisconnectObject(static_cast<Dual*>(this), 0);
    }

  protected:
    explicit AutomationObject(const IID& events)
        : dispatch_(__uuidof(Dual)),
          events_(MakeComObject<ConnectionPoint>(static_cast<IConnectionPointContainer*>(this),
                                                 events)) {}
    ~AutomationObject() override { events_->Orphan(); }

    // IUnknown, IDispatch, the dual interface and the container; a derived class adds the
    // interfaces its dual interface derives from.
    void* Find(REFIID iid) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(Dual)) {
            return static_cast<Dual*>(this);
        }
        if (iid == IID_IConnectionPointContainer) {
            return static_cast<IConnectionPointContainer*>(this);
        }
        return nullptr;
    }

  private:
    DualDispatch dispatch_;
    ComPtr<ConnectionPoint> events_;
};

}  // namespace standin
