#include "platform/win32/ShellWindowsAutomation.h"

#include <exdispid.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/BrowserEventArguments.h"
#include "platform/win32/ComEvents.h"
#include "platform/win32/Guarded.h"
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

// What every list hands on to the windows it lists.
struct ListContext {
    std::shared_ptr<ConnectedWindows> connected;
    UINT checkMilliseconds;
};

// A message-only window whose timer runs `tick`, so that any message loop of the thread drives
// it. The tick may end the timer's owner, and the timer with it.
class PollTimer {
  public:
    PollTimer(UINT milliseconds, std::function<void()> tick) : tick_(std::move(tick)) {
        static const ATOM windowClass = RegisterWindowClass();
        if (windowClass == 0) {
            return;
        }
        window_.reset(::CreateWindowExW(0, MAKEINTATOM(windowClass), L"", 0, 0, 0, 0, 0,
                                        HWND_MESSAGE, nullptr, ::GetModuleHandleW(nullptr), this));
        if (window_ && ::SetTimer(window_.get(), kTimer, milliseconds, nullptr) == 0) {
            window_.reset();
        }
    }
    PollTimer(const PollTimer&) = delete;
    PollTimer& operator=(const PollTimer&) = delete;

    bool running() const { return static_cast<bool>(window_); }

  private:
    static constexpr UINT_PTR kTimer = 1;

    static ATOM RegisterWindowClass() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &PollTimer::WindowProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QuellPanePollTimer";
        return ::RegisterClassW(&windowClass);
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return Guarded([&]() -> LRESULT {
            if (message == WM_NCCREATE) {
                const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
                ::SetWindowLongPtrW(window, GWLP_USERDATA,
                                    reinterpret_cast<LONG_PTR>(create->lpCreateParams));
            }
            auto* self = reinterpret_cast<PollTimer*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
            if (self != nullptr && message == WM_TIMER && wParam == kTimer) {
                const std::function<void()> tick = self->tick_;  // a copy: it may end `self`
                tick();
                return 0;
            }
            return ::DefWindowProcW(window, message, wParam, lParam);
        });
    }

    std::function<void()> tick_;
    UniqueWindow window_;
};

// One window of the shell's list. Its IWebBrowser2 is asked for only when the blocker needs the
// address or a quit: across processes a proxy for that large interface costs more than all the
// rest of attaching, and a refresh attaches to every window. A window whose events can't be
// connected (not a browser, or gone) is skipped when it is attached.
class ComBrowserWindow final : public platform::BrowserWindow,
                               public std::enable_shared_from_this<ComBrowserWindow> {
  public:
    ComBrowserWindow(ComPtr<IDispatch> window, std::shared_ptr<ConnectedWindows> connected)
        : window_(std::move(window)), connected_(std::move(connected)) {}

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

    bool NavigateInNewWindow(const std::string& url) override {
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

    std::shared_ptr<const void> Identity() override {
        if (!identity_) {
            // COM's identity rule: one object answers one IUnknown, and a proxy answers it in
            // this process, so two lists' items of one window compare equal.
            const auto unknown = std::make_shared<ComPtr<IUnknown>>(window_.as<IUnknown>());
            identity_ = *unknown ? std::shared_ptr<const void>(unknown, unknown->get())
                                 : std::shared_ptr<const void>(unknown);
        }
        return identity_;
    }

    std::unique_ptr<platform::EventConnection> Connect(
        std::weak_ptr<platform::BrowserEvents> events) override;

    // One cheap call that needs the object itself: true when it has gone.
    bool Gone() {
        UINT count = 0;
        return IsDisconnected(window_->GetTypeInfoCount(&count));
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
    std::shared_ptr<const void> identity_;
    std::shared_ptr<ConnectedWindows> connected_;
};

}  // namespace

// The windows whose events are connected now. A window's object may go while the shell's list
// still names the same entry and raises nothing (a browser moving a tab to a process of another
// integrity level, a tab process that ended): its listener would then hear nothing more, so the
// connected windows are checked from time to time.
class ConnectedWindows {
  public:
    void Add(std::weak_ptr<ComBrowserWindow> window) {
        std::erase_if(windows_, [](const auto& held) { return held.expired(); });
        windows_.push_back(std::move(window));
    }

    // One cross-process call for each of the next few windows in turn, so that a check with many
    // windows open does not hold up the thread; true at the first that has gone.
    bool AnyGone() {
        std::erase_if(windows_, [](const auto& held) { return held.expired(); });
        // A copy: the calls let incoming calls in, and a refresh there adds and drops windows.
        const std::vector<std::weak_ptr<ComBrowserWindow>> windows = windows_;
        const std::size_t checks = std::min(windows.size(), kChecksPerTick);
        for (std::size_t i = 0; i < checks; ++i) {
            const std::shared_ptr<ComBrowserWindow> window =
                windows[next_++ % windows.size()].lock();
            if (window && window->Gone()) {
                return true;
            }
        }
        return false;
    }

  private:
    static constexpr std::size_t kChecksPerTick = 8;
    std::vector<std::weak_ptr<ComBrowserWindow>> windows_;
    std::size_t next_ = 0;
};

namespace {

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

// A list's events, and the check on the connected windows that announces one found gone as a
// window revoked, so that the tracker refreshes and attaches to what the list now holds.
class CheckedConnection final : public platform::EventConnection {
  public:
    CheckedConnection(std::unique_ptr<platform::EventConnection> events,
                      std::weak_ptr<platform::ShellWindowsEvents> receiver,
                      std::shared_ptr<ConnectedWindows> connected, UINT checkMilliseconds)
        : events_(std::move(events)),
          receiver_(std::move(receiver)),
          connected_(std::move(connected)),
          timer_(checkMilliseconds, [this] { Check(); }) {}

  private:
    void Check() {
        if (checking_) {
            return;  // a cross-process call below let the next tick in
        }
        checking_ = true;
        const bool gone = connected_->AnyGone();
        checking_ = false;
        const std::shared_ptr<platform::ShellWindowsEvents> receiver = receiver_.lock();
        if (gone && receiver) {
            receiver->WindowRevoked(0);  // last: the refresh may end this connection
        }
    }

    std::unique_ptr<platform::EventConnection> events_;
    std::weak_ptr<platform::ShellWindowsEvents> receiver_;
    std::shared_ptr<ConnectedWindows> connected_;
    bool checking_ = false;
    PollTimer timer_;  // last, so that it goes first: no tick reaches a half-ended connection
};

// The list's events with the check, or nothing when the events can't be connected.
std::unique_ptr<platform::EventConnection> Checked(
    std::unique_ptr<platform::EventConnection> events,
    std::weak_ptr<platform::ShellWindowsEvents> receiver, const ListContext& context) {
    if (!events) {
        return nullptr;
    }
    return std::make_unique<CheckedConnection>(std::move(events), std::move(receiver),
                                               context.connected, context.checkMilliseconds);
}

// The list's windows as one enumeration hands them out: a refresh then costs a few
// cross-process calls, not one per window.
std::optional<std::vector<ComPtr<IDispatch>>> Enumerate(IShellWindows* list) {
    ComPtr<IUnknown> unknown;
    if (FAILED(list->_NewEnum(unknown.put())) || !unknown) {
        return std::nullopt;
    }
    const ComPtr<IEnumVARIANT> enumerator = unknown.as<IEnumVARIANT>();
    if (!enumerator) {
        return std::nullopt;
    }
    constexpr ULONG kBatch = 64;
    std::vector<ComPtr<IDispatch>> windows;
    for (;;) {
        VARIANT batch[kBatch];
        for (VARIANT& item : batch) {
            ::VariantInit(&item);
        }
        ULONG fetched = 0;
        const HRESULT result = enumerator->Next(kBatch, batch, &fetched);
        if (FAILED(result) || fetched > kBatch) {
            return std::nullopt;
        }
        for (ULONG i = 0; i < fetched; ++i) {
            if (batch[i].vt == VT_DISPATCH && batch[i].pdispVal != nullptr) {
                windows.emplace_back(batch[i].pdispVal);  // adds its own reference
            } else {
                windows.emplace_back();  // not a window: skipped, as Item does
            }
            ::VariantClear(&batch[i]);
        }
        if (result == S_FALSE || fetched < kBatch) {
            return windows;
        }
    }
}

class ComShellWindowList final : public platform::ShellWindowList {
  public:
    ComShellWindowList(ComPtr<IShellWindows> list, ListContext context, bool stopgap = false)
        : list_(std::move(list)), context_(std::move(context)), stopgap_(stopgap) {}

    std::optional<int> Count() override {
        snapshot_ = Enumerate(list_.get());
        if (snapshot_) {
            return static_cast<int>(snapshot_->size());
        }
        LONG count = 0;
        if (FAILED(list_->get_Count(&count)) || count < 0) {
            return std::nullopt;
        }
        return static_cast<int>(count);
    }

    platform::ShellItem Item(int index) override {
        ComPtr<IDispatch> item;
        if (snapshot_) {
            if (index < 0 || static_cast<std::size_t>(index) >= snapshot_->size()) {
                return {platform::ShellItem::Status::ListFailed, nullptr};
            }
            item = (*snapshot_)[static_cast<std::size_t>(index)];
        } else {
            VARIANT position;
            ::VariantInit(&position);
            position.vt = VT_I4;
            position.lVal = index;
            if (FAILED(list_->Item(position, item.put()))) {
                return {platform::ShellItem::Status::ListFailed, nullptr};
            }
        }
        if (!item) {
            return {platform::ShellItem::Status::Skipped, nullptr};  // closed since it was counted
        }
        return {platform::ShellItem::Status::Window,
                std::make_shared<ComBrowserWindow>(std::move(item), context_.connected)};
    }

    std::unique_ptr<platform::EventConnection> Connect(
        std::weak_ptr<platform::ShellWindowsEvents> events) override {
        return Checked(ConnectShellEvents(list_.get(), events), events, context_);
    }

    bool Stopgap() const override { return stopgap_; }

  private:
    ComPtr<IShellWindows> list_;
    ListContext context_;
    bool stopgap_;
    std::optional<std::vector<ComPtr<IDispatch>>> snapshot_;
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
// is announced as a window event, so the tracker refreshes.
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
        timer_ = std::make_unique<PollTimer>(pollMilliseconds, [this] { OnTimer(); });
    }
    StandInWatch(const StandInWatch&) = delete;
    StandInWatch& operator=(const StandInWatch&) = delete;

    bool watching() const { return timer_ && timer_->running(); }

  private:
    enum class Change { None, Started, Ended };

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
    std::unique_ptr<PollTimer> timer_;  // last, so that it goes first: no tick reaches a half-ended
                                        // watch
};

// The stand-in's list, or an empty one while it is not running. Bound as winShell, its events
// follow whichever stand-in process is running.
class StandInList final : public platform::ShellWindowList {
  public:
    StandInList(ComPtr<IShellWindows> running, std::wstring itemName, UINT pollMilliseconds,
                ListContext context, bool stopgap)
        : running_(std::move(running)),
          itemName_(std::move(itemName)),
          pollMilliseconds_(pollMilliseconds),
          context_(std::move(context)),
          stopgap_(stopgap) {
        if (running_) {
            list_.emplace(running_, context_);
        }
    }

    std::optional<int> Count() override { return list_ ? list_->Count() : 0; }
    platform::ShellItem Item(int index) override {
        if (!list_) {
            return {platform::ShellItem::Status::Skipped, nullptr};
        }
        return list_->Item(index);
    }
    std::unique_ptr<platform::EventConnection> Connect(
        std::weak_ptr<platform::ShellWindowsEvents> events) override {
        auto watch =
            std::make_unique<StandInWatch>(itemName_, pollMilliseconds_, events, running_.get());
        if (!watch->watching()) {
            return nullptr;
        }
        return Checked(std::move(watch), events, context_);
    }
    bool Stopgap() const override { return stopgap_; }

  private:
    ComPtr<IShellWindows> running_;
    std::wstring itemName_;
    UINT pollMilliseconds_;
    ListContext context_;
    bool stopgap_;
    std::optional<ComShellWindowList> list_;  // the running stand-in's, walked as one snapshot
};

// A timer that announces a window registered at every tick.
class RetryTimer final : public platform::EventConnection {
  public:
    RetryTimer(UINT milliseconds, std::weak_ptr<platform::ShellWindowsEvents> events)
        : events_(std::move(events)), timer_(milliseconds, [this] { Tick(); }) {}
    bool running() const { return timer_.running(); }

  private:
    void Tick() {
        if (const std::shared_ptr<platform::ShellWindowsEvents> events = events_.lock()) {
            events->WindowRegistered(0);  // last: the refresh may end this timer
        }
    }

    std::weak_ptr<platform::ShellWindowsEvents> events_;
    PollTimer timer_;
};

}  // namespace

HRESULT CreateSystemShellWindows(ComPtr<IShellWindows>& list) {
    return ::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                              reinterpret_cast<void**>(list.put()));
}

ShellWindowsAutomation::ShellWindowsAutomation(ShellWindowsSources sources)
    : sources_(std::move(sources)), connected_(std::make_shared<ConnectedWindows>()) {
    if (!sources_.system) {
        sources_.system = &CreateSystemShellWindows;
    }
}

std::shared_ptr<platform::ShellWindowList> ShellWindowsAutomation::ShellWindows() {
    const ListContext context{connected_, sources_.browserCheckMilliseconds};
    bool stopgap = false;
    if (!systemUnimplemented_) {
        ComPtr<IShellWindows> system;
        const HRESULT created = sources_.system(system);
        if (SUCCEEDED(created) && system) {
            LONG count = 0;
            if (system->get_Count(&count) != E_NOTIMPL) {
                return std::make_shared<ComShellWindowList>(std::move(system), context);
            }
            // Wine answers E_NOTIMPL for the list's every enumeration; that does not change
            // while the program runs.
            systemUnimplemented_ = true;
        } else if (created == REGDB_E_CLASSNOTREG || created == CLASS_E_CLASSNOTAVAILABLE) {
            // Explorer registers the list's class when it starts: at logon it may not have
            // yet. The stand-in's list serves meanwhile, and the system's is asked for again.
            stopgap = true;
        } else {
            return nullptr;
        }
    }
    return std::make_shared<StandInList>(StandInEntry(sources_.standInItemName).Find(),
                                         sources_.standInItemName, sources_.standInPollMilliseconds,
                                         context, stopgap);
}

std::unique_ptr<platform::EventConnection> ShellWindowsAutomation::RetryEvery(
    int milliseconds, std::weak_ptr<platform::ShellWindowsEvents> events) {
    auto timer = std::make_unique<RetryTimer>(static_cast<UINT>(milliseconds), std::move(events));
    if (!timer->running()) {
        return nullptr;
    }
    return timer;
}

}  // namespace platform::win32
