#include "platform/standin/Browser.h"

#include <exdispid.h>

#include <array>
#include <utility>

#include "platform/standin/Options.h"

namespace standin {
namespace {

constexpr const wchar_t* kBrowserName = L"Stand-in Browser";
const HRESULT kNoWindow = HRESULT_FROM_WIN32(ERROR_INVALID_WINDOW_HANDLE);

HRESULT ReturnText(std::wstring_view text, BSTR* out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = MakeBstr(text).release();
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT ReturnBool(bool value, VARIANT_BOOL* out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

}  // namespace

std::wstring ProgramPath() {
    std::wstring path(32768, L'\0');  // the longest path Windows has
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

Browser::Browser(BrowserView& view, std::wstring location)
    : AutomationObject(DIID_DWebBrowserEvents2), view_(&view), location_(std::move(location)) {}

void Browser::Navigate(std::wstring url) {
    location_ = std::move(url);
    if (view_ != nullptr) {
        view_->ShowLocation(location_);
    }
    RaiseText(DISPID_TITLECHANGE, location_);
    RaiseWithUrl(DISPID_NAVIGATECOMPLETE2, location_);
    RaiseWithUrl(DISPID_DOCUMENTCOMPLETE, location_);
}

void Browser::SetStatusText(std::wstring text) {
    statusText_ = std::move(text);
    RaiseText(DISPID_STATUSTEXTCHANGE, statusText_);
}

bool Browser::RequestNewWindow(RaiseMode mode, const std::wstring& url, long flags) {
    // A sink may take its time (a prompt waits for the user) and the window may be closed
    // meanwhile: this object stays alive until the request is answered.
    const ComPtr<Browser> self(this);
    const UniqueBstr opener = MakeBstr(location_);
    const UniqueBstr popup = MakeBstr(url);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    for (const DISPID id : EventsOf(mode)) {
        // A sink may offer an object to show the popup in. The stand-in always opens a window of
        // its own, so an offered object is handed back after each sink.
        IDispatch* offered = nullptr;
        const auto handBack = [&offered] {
            if (offered != nullptr) {
                std::exchange(offered, nullptr)->Release();
            }
        };
        if (id == DISPID_NEWWINDOW2) {
            std::array<VARIANT, 2> args{BoolRef(&cancel), DispatchRef(&offered)};
            Events().Raise(id, args, handBack);
        } else {
            std::array<VARIANT, 5> args{TextArg(popup.get()), TextArg(opener.get()), LongArg(flags),
                                        BoolRef(&cancel), DispatchRef(&offered)};
            Events().Raise(id, args, handBack);
        }
    }
    return cancel == VARIANT_TRUE;
}

void Browser::RaiseQuit() {
    Events().Raise(DISPID_ONQUIT, {});
}

void Browser::Detach() {
    view_ = nullptr;
    Disconnect();
}

void Browser::RaiseText(DISPID id, const std::wstring& text) {
    const UniqueBstr value = MakeBstr(text);
    VARIANT argument = TextArg(value.get());
    Events().Raise(id, {&argument, 1});
}

void Browser::RaiseWithUrl(DISPID id, const std::wstring& url) {
    const UniqueBstr value = MakeBstr(url);
    VARIANT address = TextArg(value.get());
    std::array<VARIANT, 2> args{VariantRef(&address),
                                DispatchArg(static_cast<IWebBrowser2*>(this))};
    Events().Raise(id, args);
}

HRESULT Browser::Navigate(BSTR url, VARIANT* flags, VARIANT*, VARIANT*, VARIANT*) {
    if (url == nullptr) {
        return E_INVALIDARG;
    }
    if (flags != nullptr && flags->vt == VT_I4 && (flags->lVal & navOpenInNewWindow) != 0) {
        // What a page's window.open asks: a popup request, answered before this call returns.
        if (view_ != nullptr) {
            view_->RequestPopup(FromBstr(url));
        }
        return S_OK;
    }
    Navigate(FromBstr(url));
    return S_OK;
}

HRESULT Browser::get_Application(IDispatch** application) {
    if (application == nullptr) {
        return E_POINTER;
    }
    *application = static_cast<IWebBrowser2*>(this);
    AddRef();
    return S_OK;
}

HRESULT Browser::get_Parent(IDispatch** parent) {
    return get_Application(parent);
}

HRESULT Browser::get_Container(IDispatch** container) {
    if (container == nullptr) {
        return E_POINTER;
    }
    *container = nullptr;  // a top-level browser has no container
    return S_OK;
}

HRESULT Browser::get_Document(IDispatch** document) {
    if (document == nullptr) {
        return E_POINTER;
    }
    *document = nullptr;  // pages are only addresses here
    return S_OK;
}

HRESULT Browser::get_TopLevelContainer(VARIANT_BOOL* topLevel) {
    return ReturnBool(true, topLevel);
}

HRESULT Browser::get_Type(BSTR* type) {
    return ReturnText(L"HTML Document", type);
}

HRESULT Browser::get_LocationName(BSTR* name) {
    return ReturnText(location_, name);
}

HRESULT Browser::get_LocationURL(BSTR* url) {
    return ReturnText(location_, url);
}

HRESULT Browser::get_Busy(VARIANT_BOOL* busy) {
    return ReturnBool(false, busy);
}

HRESULT Browser::Quit() {
    if (view_ == nullptr) {
        return kNoWindow;
    }
    view_->RequestClose();
    return S_OK;
}

HRESULT Browser::get_Name(BSTR* name) {
    return ReturnText(kBrowserName, name);
}

HRESULT Browser::get_HWND(SHANDLE_PTR* handle) {
    if (handle == nullptr) {
        return E_POINTER;
    }
    *handle = 0;
    if (view_ == nullptr) {
        return kNoWindow;
    }
    *handle = reinterpret_cast<SHANDLE_PTR>(view_->Handle());
    return S_OK;
}

HRESULT Browser::get_FullName(BSTR* fullName) {
    return ReturnText(ProgramPath(), fullName);
}

HRESULT Browser::get_Path(BSTR* path) {
    const std::wstring program = ProgramPath();
    return ReturnText(program.substr(0, program.find_last_of(L'\\') + 1), path);
}

HRESULT Browser::get_Visible(VARIANT_BOOL* visible) {
    if (view_ == nullptr) {
        return kNoWindow;
    }
    return ReturnBool(::IsWindowVisible(view_->Handle()) != FALSE, visible);
}

HRESULT Browser::put_Visible(VARIANT_BOOL visible) {
    if (view_ == nullptr) {
        return kNoWindow;
    }
    ::ShowWindow(view_->Handle(), visible != VARIANT_FALSE ? SW_SHOW : SW_HIDE);
    return S_OK;
}

HRESULT Browser::get_StatusText(BSTR* text) {
    return ReturnText(statusText_, text);
}

HRESULT Browser::put_StatusText(BSTR text) {
    SetStatusText(FromBstr(text));
    return S_OK;
}

HRESULT Browser::Navigate2(VARIANT* url, VARIANT* flags, VARIANT*, VARIANT*, VARIANT*) {
    if (url == nullptr) {
        return E_INVALIDARG;
    }
    VARIANT text;
    ::VariantInit(&text);
    if (FAILED(::VariantChangeType(&text, url, 0, VT_BSTR))) {
        return E_INVALIDARG;
    }
    const UniqueBstr owned(text.bstrVal);
    VARIANT number;
    ::VariantInit(&number);
    if (flags != nullptr && SUCCEEDED(::VariantChangeType(&number, flags, 0, VT_I4)) &&
        (number.lVal & navOpenInNewWindow) != 0) {
        view_->RequestPopup(FromBstr(owned.get()));
        return S_OK;
    }
    Navigate(FromBstr(owned.get()));
    return S_OK;
}

HRESULT Browser::get_ReadyState(READYSTATE* state) {
    if (state == nullptr) {
        return E_POINTER;
    }
    *state = READYSTATE_COMPLETE;
    return S_OK;
}

void* Browser::Find(REFIID iid) {
    if (iid == IID_IWebBrowser || iid == IID_IWebBrowserApp) {
        return static_cast<IWebBrowser2*>(this);
    }
    return AutomationObject::Find(iid);
}

}  // namespace standin
