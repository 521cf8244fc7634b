// QuellPane's own COM objects (event sinks): one reference count per object, and the identity
// of the object behind every interface it offers.
#pragma once

#include <ole2.h>
#include <windows.h>

#include <utility>

#include "platform/win32/Handles.h"

namespace platform::win32 {

using UniqueBstr = UniqueResource<BSTR, &::SysFreeString>;

// IUnknown for a class implementing `Interfaces`; the derived class names in Find which of its
// interfaces answers an IID. Created with one reference, which MakeComObject hands over.
template <class... Interfaces>
class ComObject : public Interfaces... {
  public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = Find(iid);
        if (*out == nullptr) {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

  protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    virtual void* Find(REFIID iid) = 0;

  private:
    // Calls arrive on the apartment's one thread, proxies' releases included.
    ULONG references_ = 1;
};

// A call failed because the object called has gone: its process ended, or the process
// disconnected it (as a browser does when it moves a tab to a process of another integrity level).
inline bool IsDisconnected(HRESULT result) {
    return result == RPC_E_DISCONNECTED || result == CO_E_OBJNOTCONNECTED ||
           result == HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE) || result == RPC_E_SERVER_DIED ||
           result == RPC_E_SERVER_DIED_DNE;
}

template <class T, class... Args>
ComPtr<T> MakeComObject(Args&&... args) {
    return ComPtr<T>::attach(new T(std::forward<Args>(args)...));
}

}  // namespace platform::win32
