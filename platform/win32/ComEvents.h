// Receiving a COM object's events: a dispinterface sink and its connection-point Advise.
#pragma once

#include <ocidl.h>
#include <windows.h>

#include <memory>

#include "platform/BrowserAutomation.h"
#include "platform/win32/ComObject.h"

namespace platform::win32 {

// A minimal IDispatch that also answers its events' IID. A source calls Invoke with the dispids
// it defines, so no type information is offered.
class EventSink : public ComObject<IDispatch> {
  public:
    explicit EventSink(const IID& events) : events_(events) {}
    // Stops passing events on: a source may still call in before it has taken Unadvise in.
    virtual void Disconnect() = 0;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    // Always S_OK: an event the sink does not understand, or whose arguments are not what it
    // expects, is ignored; no exception leaves.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) final;

  protected:
    virtual void OnEvent(DISPID id, const DISPPARAMS& params) = 0;
    void* Find(REFIID iid) override;

  private:
    IID events_;
};

// Connects `sink` to the `events` connection point of `source`; the connection's end calls
// Unadvise (a source that has died meanwhile is not an error). Nothing when it can't connect.
std::unique_ptr<platform::EventConnection> Advise(IUnknown* source, const IID& events,
                                                  EventSink* sink);

// The argument at `index` (the last argument comes first), when the call carries exactly
// `count` arguments and that one has type `type`; nothing otherwise.
const VARIANT* EventArgument(const DISPPARAMS& params, UINT count, UINT index, VARTYPE type);

}  // namespace platform::win32
