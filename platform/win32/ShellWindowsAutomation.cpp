#include "platform/win32/ShellWindowsAutomation.h"

#include <exdispid.h>

#include <utility>

#include "platform/win32/ComEvents.h"
#include "platform/win32/Unicode.h"

namespace platform::win32 {
namespace {

std::string FromBstr(BSTR text) {
    return text == nullptr ? std::string() : Narrow(std::wstring_view(text, ::SysStringLen(text)));
}

class VariantCancelFlag final : public platform::CancelFlag {
  public:
    explicit VariantCancelFlag(VARIANT_BOOL* cancel) : cancel_(cancel) {}
    void Set(bool cancel) override { *cancel_ = cancel ? VARIANT_TRUE : VARIANT_FALSE; }

  private:
    VARIANT_BOOL* cancel_;
};

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
        if (!events) {
            return;
        }
        switch (id) {
            case DISPID_NEWWINDOW2:
                // (ppDisp, Cancel)
                if (VARIANT_BOOL* cancel = CancelAt(params, 2, 0)) {
                    VariantCancelFlag flag(cancel);
                    events->NewWindow2(flag);
                }
                break;
            case DISPID_NEWWINDOW3:
                // (ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl)
                if (VARIANT_BOOL* cancel = CancelAt(params, 5, 3)) {
                    VariantCancelFlag flag(cancel);
                    events->NewWindow3(flag);
                }
                break;
            case DISPID_STATUSTEXTCHANGE:
                if (const VARIANT* text = EventArgument(params, 1, 0, VT_BSTR)) {
                    events->StatusTextChange(FromBstr(text->bstrVal));
                }
                break;
            default:
                events->OtherEvent();
                break;
        }
    }

    static VARIANT_BOOL* CancelAt(const DISPPARAMS& params, UINT count, UINT index) {
        const VARIANT* cancel = EventArgument(params, count, index, VT_BYREF | VT_BOOL);
        return cancel != nullptr ? cancel->pboolVal : nullptr;
    }

    std::weak_ptr<platform::BrowserEvents> events_;
};

// DShellWindowsEvents: a window was added to or removed from the shell's list.
class ShellEventsSink final : public EventSink {
  public:
    explicit ShellEventsSink(std::weak_ptr<platform::ShellWindowsEvents> events)
        : EventSink(DIID_DShellWindowsEvents), events_(std::move(events)) {}
    void Disconnect() override { events_.reset(); }

  private:
    void OnEvent(DISPID id, const DISPPARAMS& params) override {
        const VARIANT* cookie = EventArgument(params, 1, 0, VT_I4);
        const std::shared_ptr<platform::ShellWindowsEvents> events = events_.lock();
        if (cookie == nullptr || !events) {
            return;
        }
        if (id == DISPID_WINDOWREGISTERED) {
            events->WindowRegistered(cookie->lVal);
        } else if (id == DISPID_WINDOWREVOKED) {
            events->WindowRevoked(cookie->lVal);
        }
    }

    std::weak_ptr<platform::ShellWindowsEvents> events_;
};

std::unique_ptr<platform::EventConnection> ConnectShellEvents(
    IShellWindows* list, std::weak_ptr<platform::ShellWindowsEvents> events) {
    const auto sink = MakeComObject<ShellEventsSink>(std::move(events));
    return Advise(list, DIID_DShellWindowsEvents, sink.get());
}

// One window of the shell's list. Its IWebBrowser2 is asked for only when the blocker needs the
// address or a quit: across processes a proxy for that large interface costs more than all the
// rest of attaching, and a refresh attaches to every window. A window whose events can't be
// connected (not a browser, or gone) is skipped when it is attached.
class ComBrowserWindow final : public platform::BrowserWindow {
  public:
    explicit ComBrowserWindow(ComPtr<IDispatch> window) : window_(std::move(window)) {}

    std::optional<std::string> LocationURL() override {
        const ComPtr<IWebBrowser2> browser = Browser();
        BSTR raw = nullptr;
        const HRESULT result = browser ? browser->get_LocationURL(&raw) : E_NOINTERFACE;
        const UniqueBstr url(raw);
        if (FAILED(result)) {
            return std::nullopt;
        }
        return FromBstr(url.get());
    }

    bool Quit() override {
        const ComPtr<IWebBrowser2> browser = Browser();
        return browser && SUCCEEDED(browser->Quit());
    }

    std::unique_ptr<platform::EventConnection> Connect(
        std::weak_ptr<platform::BrowserEvents> events) override {
        const auto sink = MakeComObject<BrowserEventsSink>(std::move(events));
        return Advise(window_.get(), DIID_DWebBrowserEvents2, sink.get());
    }

  private:
    ComPtr<IWebBrowser2> Browser() {
        if (!browser_) {
            browser_ = window_.as<IWebBrowser2>();
        }
        return browser_;
    }

    ComPtr<IDispatch> window_;
    ComPtr<IWebBrowser2> browser_;
};

class ComShellWindowList final : public platform::ShellWindowList {
  public:
    explicit ComShellWindowList(ComPtr<IShellWindows> list) : list_(std::move(list)) {}

    std::optional<int> Count() override {
        LONG count = 0;
        if (FAILED(list_->get_Count(&count)) || count < 0) {
            return std::nullopt;
        }
        return static_cast<int>(count);
    }

    platform::ShellItem Item(int index) override {
        VARIANT position;
        ::VariantInit(&position);
        position.vt = VT_I4;
        position.lVal = index;
        ComPtr<IDispatch> item;
        if (FAILED(list_->Item(position, item.put()))) {
            return {platform::ShellItem::Status::ListFailed, nullptr};
        }
        if (!item) {
            return {platform::ShellItem::Status::Skipped, nullptr};  // closed since it was counted
        }
        return {platform::ShellItem::Status::Window,
                std::make_shared<ComBrowserWindow>(std::move(item))};
    }

    std::unique_ptr<platform::EventConnection> Connect(
        std::weak_ptr<platform::ShellWindowsEvents> events) override {
        return ConnectShellEvents(list_.get(), std::move(events));
    }

  private:
    ComPtr<IShellWindows> list_;
};

// The stand-in's name in the Running Object Table.
class StandInEntry {
  public:
    explicit StandInEntry(const std::wstring& itemName) {
        if (FAILED(::GetRunningObjectTable(0, table_.put())) ||
            FAILED(::CreateItemMoniker(standin::kRotDelimiter, itemName.c_str(), moniker_.put()))) {
            table_.reset();
        }
    }

    ComPtr<IShellWindows> Find() const {
        ComPtr<IUnknown> object;
        if (!table_ || table_->GetObject(moniker_.get(), object.put()) != S_OK || !object) {
            return nullptr;
        }
        return object.as<IShellWindows>();
    }

    // One call to the table's own service; the stand-in itself is not disturbed.
    bool Running() const { return table_ && table_->IsRunning(moniker_.get()) == S_OK; }

    // When the name was registered, nothing when it is not (or the table can't say): a
    // stand-in started again registers anew, with a new time.
    std::optional<ULONGLONG> RegisteredAt() const {
        FILETIME time{};
        if (!table_ || table_->GetTimeOfLastChange(moniker_.get(), &time) != S_OK) {
            return std::nullopt;
        }
        return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    }

  private:
    ComPtr<IRunningObjectTable> table_;
    ComPtr<IMoniker> moniker_;
};

// Passes the stand-in's list events on, and follows the stand-in as it starts and ends: a timer
// looks for it while it is not running, and checks that it still is while it runs; either change
// is announced as a window event, so the tracker refreshes. The timer belongs to a message-only
// window, so any message loop of the thread drives it.
class StandInWatch final : public platform::EventConnection {
  public:
    StandInWatch(const std::wstring& itemName, UINT pollMilliseconds,
                 std::weak_ptr<platform::ShellWindowsEvents> events, IShellWindows* running)
        : entry_(itemName), events_(std::move(events)) {
        if (running != nullptr) {
            relayedAt_ = entry_.RegisteredAt();
            relayed_ = ConnectShellEvents(running, events_);
            if (!relayed_) {
                return;
            }
        }
        static const ATOM windowClass = RegisterWindowClass();
        if (windowClass == 0) {
            return;
        }
        window_.reset(::CreateWindowExW(0, MAKEINTATOM(windowClass), L"", 0, 0, 0, 0, 0,
                                        HWND_MESSAGE, nullptr, ::GetModuleHandleW(nullptr), this));
        if (window_ && ::SetTimer(window_.get(), kTimer, pollMilliseconds, nullptr) == 0) {
            window_.reset();
        }
    }
    StandInWatch(const StandInWatch&) = delete;
    StandInWatch& operator=(const StandInWatch&) = delete;

    bool watching() const { return static_cast<bool>(window_); }

  private:
    static constexpr UINT_PTR kTimer = 1;
    enum class Change { None, Started, Ended };

    static ATOM RegisterWindowClass() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &StandInWatch::WindowProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QuellPaneStandInWatch";
        return ::RegisterClassW(&windowClass);
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            ::SetWindowLongPtrW(window, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<StandInWatch*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr && message == WM_TIMER && wParam == kTimer) {
            self->OnTimer();
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    void OnTimer() {
        if (looking_) {
            return;  // a cross-process call below let the next tick in
        }
        looking_ = true;
        const Change change = Look();
        looking_ = false;
        const std::shared_ptr<platform::ShellWindowsEvents> events = events_.lock();
        if (!events || change == Change::None) {
            return;
        }
        // Last: the refresh this starts may end the watch itself.
        if (change == Change::Started) {
            events->WindowRegistered(0);
        } else {
            events->WindowRevoked(0);
        }
    }

    Change Look() {
        if (relayed_) {
            if (StillTheSame()) {
                return Change::None;
            }
            relayed_.reset();
            return Change::Ended;
        }
        if (const ComPtr<IShellWindows> standIn = entry_.Find()) {
            relayedAt_ = entry_.RegisteredAt();
            relayed_ = ConnectShellEvents(standIn.get(), events_);
        }
        // Not there yet, or gone before it could be heard: the next tick looks again.
        return relayed_ ? Change::Started : Change::None;
    }

    // A stand-in that ended and started again between two ticks is another one: the events of
    // the one heard so far will never come again.
    bool StillTheSame() const {
        const std::optional<ULONGLONG> now = entry_.RegisteredAt();
        if (now && relayedAt_) {
            return *now == *relayedAt_;
        }
        return entry_.Running();
    }

    StandInEntry entry_;
    std::weak_ptr<platform::ShellWindowsEvents> events_;
    std::unique_ptr<platform::EventConnection> relayed_;
    std::optional<ULONGLONG> relayedAt_;
    bool looking_ = false;
    UniqueWindow window_;  // last, so that it goes first: no tick reaches a half-ended watch
};

// The stand-in's list, or an empty one while it is not running. Bound as winShell, its events
// follow whichever stand-in process is running.
class StandInList final : public platform::ShellWindowList {
  public:
    StandInList(ComPtr<IShellWindows> running, std::wstring itemName, UINT pollMilliseconds)
        : running_(std::move(running)),
          itemName_(std::move(itemName)),
          pollMilliseconds_(pollMilliseconds) {}

    std::optional<int> Count() override {
        return running_ ? ComShellWindowList(running_).Count() : 0;
    }
    platform::ShellItem Item(int index) override {
        if (!running_) {
            return {platform::ShellItem::Status::Skipped, nullptr};
        }
        return ComShellWindowList(running_).Item(index);
    }
    std::unique_ptr<platform::EventConnection> Connect(
        std::weak_ptr<platform::ShellWindowsEvents> events) override {
        auto watch = std::make_unique<StandInWatch>(itemName_, pollMilliseconds_, std::move(events),
                                                    running_.get());
        if (!watch->watching()) {
            return nullptr;
        }
        return watch;
    }

  private:
    ComPtr<IShellWindows> running_;
    std::wstring itemName_;
    UINT pollMilliseconds_;
};

}  // namespace

HRESULT CreateSystemShellWindows(ComPtr<IShellWindows>& list) {
    return ::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                              reinterpret_cast<void**>(list.put()));
}

ShellWindowsAutomation::ShellWindowsAutomation(ShellWindowsSources sources)
    : sources_(std::move(sources)) {
    if (!sources_.system) {
        sources_.system = &CreateSystemShellWindows;
    }
}

std::shared_ptr<platform::ShellWindowList> ShellWindowsAutomation::ShellWindows() {
    if (!systemUnimplemented_) {
        ComPtr<IShellWindows> system;
        const HRESULT created = sources_.system(system);
        if (SUCCEEDED(created) && system) {
            LONG count = 0;
            if (system->get_Count(&count) != E_NOTIMPL) {
                return std::make_shared<ComShellWindowList>(std::move(system));
            }
        } else if (created != REGDB_E_CLASSNOTREG && created != CLASS_E_CLASSNOTAVAILABLE) {
            return nullptr;
        }
        // Wine answers E_NOTIMPL for the list's every enumeration; that does not change while
        // the program runs.
        systemUnimplemented_ = true;
    }
    return std::make_shared<StandInList>(StandInEntry(sources_.standInItemName).Find(),
                                         sources_.standInItemName,
                                         sources_.standInPollMilliseconds);
}

}  // namespace platform::win32
