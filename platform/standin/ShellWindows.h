// The shell's list of open browser windows: IShellWindows with its DShellWindowsEvents.
#pragma once

#include <exdisp.h>

#include <cstddef>
#include <vector>

#include "platform/standin/Automation.h"

namespace standin {

class ShellWindows final : public AutomationObject<IShellWindows> {
  public:
    ShellWindows();

    // Appends a window and then raises WindowRegistered with its cookie, so that a sink that
    // walks the list at once finds it.
    LONG Add(IDispatch* window);
    // Removes the window first, then raises WindowRevoked; false when the cookie is not listed.
    bool Remove(LONG cookie);
    // Puts another object under a listed cookie, raising nothing; false when it is not listed.
    bool Replace(LONG cookie, IDispatch* window);

    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override;
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, IDispatch** window) override;
    HRESULT STDMETHODCALLTYPE _NewEnum(IUnknown** windows) override;
    HRESULT STDMETHODCALLTYPE Register(IDispatch* window, LONG hwnd, int windowClass,
                                       LONG* cookie) override;
    HRESULT STDMETHODCALLTYPE RegisterPending(LONG, VARIANT*, VARIANT*, int, LONG*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Revoke(LONG cookie) override;
    HRESULT STDMETHODCALLTYPE OnNavigate(LONG, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnActivated(LONG, VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindWindowSW(VARIANT*, VARIANT*, int, LONG*, int,
                                           IDispatch**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE OnCreated(LONG, IUnknown*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ProcessAttachDetach(VARIANT_BOOL) override { return E_NOTIMPL; }

  private:
    struct Entry {
        LONG cookie;
        ComPtr<IDispatch> window;
    };
    void RaiseWithCookie(DISPID id, LONG cookie);
    std::vector<Entry>::iterator Find(LONG cookie);

    std::vector<Entry> entries_;
    LONG nextCookie_ = 1;
};

}  // namespace standin
