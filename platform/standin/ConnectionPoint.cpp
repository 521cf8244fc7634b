#include "platform/standin/ConnectionPoint.h"

#include <algorithm>

#include "platform/standin/Enumerators.h"

namespace standin {
ConnectionPoint::ConnectionPoint(IConnectionPointContainer* container, const IID& events)
    : container_(container), events_(events) {}

void ConnectionPoint::Orphan() {
    container_ = nullptr;
    DropAll();
}

void ConnectionPoint::Raise(DISPID id, std::span<VARIANT> args,
                            const std::function<void()>& afterEach) {
    DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    // A sink may advise or unadvise while it is being called: walk a copy that also keeps each
    // sink alive for its call.
    const std::vector<Sink> sinks = sinks_;
    for (const Sink& sink : sinks) {
        const HRESULT result = sink.dispatch->Invoke(
            id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        if (platform::win32::IsDisconnected(result)) {
            Drop(sink.cookie);  // its process or object has gone: dropped without a word
        }
        if (afterEach) {
            afterEach();
        }
    }
}

void ConnectionPoint::DropAll() {
    // Released after the list is empty: a sink's Release may call back into this object.
    std::vector<Sink> dropped;
    dropped.swap(sinks_);
}

bool ConnectionPoint::Drop(DWORD cookie) {
    const auto found = std::find_if(sinks_.begin(), sinks_.end(),
                                    [cookie](const Sink& sink) { return sink.cookie == cookie; });
    if (found == sinks_.end()) {
        return false;
    }
    const Sink dropped = *found;
    sinks_.erase(found);
    return true;
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
    if (iid == nullptr) {
        return E_POINTER;
    }
    *iid = events_;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (container == nullptr) {
        return E_POINTER;
    }
    *container = container_;
    if (container_ == nullptr) {
        return E_UNEXPECTED;
    }
    container_->AddRef();
    return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (cookie != nullptr) {
        *cookie = 0;
    }
    if (sink == nullptr || cookie == nullptr) {
        return E_POINTER;
    }
    if (container_ == nullptr) {
        return E_UNEXPECTED;
    }
    // Sinks written for IDispatch alone (script engines, hand-made sinks) are accepted too.
    ComPtr<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(events_, reinterpret_cast<void**>(dispatch.put()))) &&
        FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.put())))) {
        return CONNECT_E_CANNOTCONNECT;
    }
    *cookie = nextCookie_++;
    sinks_.push_back({*cookie, std::move(dispatch)});
    return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
    return Drop(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** connections) {
    if (connections == nullptr) {
        return E_POINTER;
    }
    std::vector<Connection> snapshot;
    for (const Sink& sink : sinks_) {
        snapshot.push_back({ComPtr<IUnknown>(sink.dispatch.get()), sink.cookie});
    }
    *connections = MakeComObject<ConnectionEnum>(std::move(snapshot)).release();
    return S_OK;
}

void* ConnectionPoint::Find(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
        return static_cast<IConnectionPoint*>(this);
    }
    return nullptr;
}

}  // namespace standin
