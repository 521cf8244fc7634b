// One outgoing event interface of an object: the sinks advised on it and the raising of its
// events on every one of them.
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

#include "platform/standin/ComSupport.h"

namespace standin {

class ConnectionPoint final : public CountedObject<IConnectionPoint> {
  public:
    // `container` owns this connection point; it calls Orphan before it goes.
    ConnectionPoint(IConnectionPointContainer* container, const IID& events);

    void Orphan();
    // Calls Invoke(id) on every sink in the order they were advised, one after another, each
    // waiting for the sink's answer (the apartment keeps serving incoming calls meanwhile).
    // `args` are in COM's reverse order; by-reference arguments are shared by all sinks, so each
    // sees what the one before it answered. `afterEach` runs after every sink's call.
    void Raise(DISPID id, std::span<VARIANT> args, const std::function<void()>& afterEach = {});
    void DropAll();
    std::size_t SinkCount() const { return sinks_.size(); }
    const IID& EventsIid() const { return events_; }

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE
    GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

  protected:
    void* Find(REFIID iid) override;

  private:
    struct Sink {
        DWORD cookie;
        ComPtr<IDispatch> dispatch;
    };
    bool Drop(DWORD cookie);

    IConnectionPointContainer* container_;
    IID events_;
    std::vector<Sink> sinks_;
    DWORD nextCookie_ = 1;
};

}  // namespace standin
