#include "platform/win32/ComEvents.h"

#include <utility>

#include "platform/BrowserEventArguments.h"

namespace platform::win32 {
namespace {

class Advised final : public platform::EventConnection {
  public:
    Advised(ComPtr<IConnectionPoint> point, DWORD cookie, ComPtr<EventSink> sink)
        : point_(std::move(point)), cookie_(cookie), sink_(std::move(sink)) {}
    ~Advised() override {
        sink_->Disconnect();
        point_->Unadvise(cookie_);  // fails only when the source is gone, which ends it anyway
    }
    Advised(const Advised&) = delete;
    Advised& operator=(const Advised&) = delete;

  private:
    ComPtr<IConnectionPoint> point_;
    DWORD cookie_;
    ComPtr<EventSink> sink_;
};

}  // namespace

HRESULT EventSink::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

HRESULT EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) {
        *info = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return DISP_E_UNKNOWNNAME;
}

HRESULT EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                          UINT*) {
    if (params == nullptr) {
        return S_OK;
    }
    // A handler that closes this very connection makes the source let go of the sink while it
    // still runs.
    const ComPtr<EventSink> self(this);
    try {
        OnEvent(id, *params);
    } catch (...) {
        // Nothing may unwind into the caller's apartment.
    }
    return S_OK;
}

void* EventSink::Find(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == events_) {
        return static_cast<IDispatch*>(this);
    }
    return nullptr;
}

std::unique_ptr<platform::EventConnection> Advise(IUnknown* source, const IID& events,
                                                  EventSink* sink) {
    if (source == nullptr || sink == nullptr) {
        return nullptr;
    }
    ComPtr<IConnectionPointContainer> container;
    if (FAILED(source->QueryInterface(IID_IConnectionPointContainer,
                                      reinterpret_cast<void**>(container.put()))) ||
        !container) {
        return nullptr;
    }
    ComPtr<IConnectionPoint> point;
    if (FAILED(container->FindConnectionPoint(events, point.put())) || !point) {
        return nullptr;
    }
    DWORD cookie = 0;
    if (FAILED(point->Advise(sink, &cookie))) {
        return nullptr;
    }
    return std::make_unique<Advised>(std::move(point), cookie, ComPtr<EventSink>(sink));
}

const VARIANT* EventArgument(const DISPPARAMS& params, UINT count, UINT index, VARTYPE type) {
    return platform::EventArgument(params, count, index, type);
}

}  // namespace platform::win32
