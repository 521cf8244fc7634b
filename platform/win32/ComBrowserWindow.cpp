#include "platform/win32/ComBrowserWindow.h"

#include <exdispid.h>

#include <algorithm>
#include <utility>

#include "platform/BrowserEventArguments.h"
#include "platform/win32/ComEvents.h"
#include "platform/win32/Unicode.h"

namespace platform::win32 {
namespace {

static_assert(kDispidNewWindow2 == DISPID_NEWWINDOW2 && kDispidNewWindow3 == DISPID_NEWWINDOW3 &&
              kDispidStatusTextChange == DISPID_STATUSTEXTCHANGE);
static_assert(kVtBool == VT_BOOL && kVtBstr == VT_BSTR && kVtByRef == VT_BYREF && kVtI4 == VT_I4);

std::string FromBstr(BSTR text) {
    return text == nullptr ? std::string() : Narrow(std::wstring_view(text, ::SysStringLen(text)));
}

// DWebBrowserEvents2 of one browser window. Only the Cancel argument of a new-window request is
// ever written; ppDisp and every other event's arguments are left as they came.
class BrowserEventsSink final : public EventSink {
  public:
    explicit BrowserEventsSink(std::weak_ptr<platform::BrowserEvents> events)
        : EventSink(DIID_DWebBrowserEvents2), events_(std::move(events)) {}
    void Disconnect() override { events_.reset(); }

  private:
    void OnEvent(DISPID id, const DISPPARAMS& params) override {
        // Held for the whole handler: the decision may run the event pump, and a refresh there
        // may drop the listener.
        const std::shared_ptr<platform::BrowserEvents> events = events_.lock();
        if (events) {
            platform::DeliverBrowserEvent(id, params, *events, &FromBstr);
        }
    }

    std::weak_ptr<platform::BrowserEvents> events_;
};

}  // namespace

std::optional<std::string> ComBrowserWindow::LocationURL() {
    const ComPtr<IWebBrowser2> browser = Browser();
    BSTR raw = nullptr;
    const HRESULT result = browser ? browser->get_LocationURL(&raw) : E_NOINTERFACE;
    const UniqueBstr url(raw);
    if (FAILED(result)) {
        return std::nullopt;
    }
    return FromBstr(url.get());
}

bool ComBrowserWindow::Quit() {
    const ComPtr<IWebBrowser2> browser = Browser();
    return browser && SUCCEEDED(browser->Quit());
}

bool ComBrowserWindow::NavigateInNewWindow(const std::string& url) {
    const ComPtr<IWebBrowser2> browser = Browser();
    const UniqueBstr address(::SysAllocString(Widen(url).c_str()));
    if (!browser || !address) {
        return false;
    }
    VARIANT target{};
    target.vt = VT_BSTR;
    target.bstrVal = address.get();
    VARIANT flags{};
    flags.vt = VT_I4;
    flags.lVal = navOpenInNewWindow;
    // Empty rather than null: the marshaler needs every optional argument.
    VARIANT empty{};
    return SUCCEEDED(browser->Navigate2(&target, &flags, &empty, &empty, &empty));
}

std::shared_ptr<const void> ComBrowserWindow::Identity() {
    if (!identity_) {
        // COM's identity rule: one object answers one IUnknown, and a proxy answers it in this
        // process, so two lists' items of one window compare equal.
        const auto unknown = std::make_shared<ComPtr<IUnknown>>(window_.as<IUnknown>());
        identity_ = *unknown ? std::shared_ptr<const void>(unknown, unknown->get())
                             : std::shared_ptr<const void>(unknown);
    }
    return identity_;
}

std::unique_ptr<platform::EventConnection> ComBrowserWindow::Connect(
    std::weak_ptr<platform::BrowserEvents> events) {
    const auto sink = MakeComObject<BrowserEventsSink>(std::move(events));
    std::unique_ptr<platform::EventConnection> connection =
        Advise(window_.get(), DIID_DWebBrowserEvents2, sink.get());
    if (connection) {
        connected_->Add(weak_from_this());
    }
    return connection;
}

bool ComBrowserWindow::Gone() {
    UINT count = 0;
    return IsDisconnected(window_->GetTypeInfoCount(&count));
}

ComPtr<IWebBrowser2> ComBrowserWindow::Browser() {
    if (!browser_) {
        browser_ = window_.as<IWebBrowser2>();
    }
    return browser_;
}

void ConnectedWindows::Add(std::weak_ptr<ComBrowserWindow> window) {
    std::erase_if(windows_, [](const auto& held) { return held.expired(); });
    windows_.push_back(std::move(window));
}

bool ConnectedWindows::AnyGone() {
    std::erase_if(windows_, [](const auto& held) { return held.expired(); });
    // A copy: the calls let incoming calls in, and a refresh there adds and drops windows.
    const std::vector<std::weak_ptr<ComBrowserWindow>> windows = windows_;
    const std::size_t checks = std::min(windows.size(), kChecksPerTick);
    for (std::size_t i = 0; i < checks; ++i) {
        const std::shared_ptr<ComBrowserWindow> window = windows[next_++ % windows.size()].lock();
        if (window && window->Gone()) {
            return true;
        }
    }
    return false;
}

}  // namespace platform::win32
