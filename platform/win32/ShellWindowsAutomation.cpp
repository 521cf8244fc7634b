#include "platform/win32/ShellWindowsAutomation.h"

#include <exdispid.h>

#include <utility>
#include <vector>

#include "platform/win32/ComBrowserWindow.h"
#include "platform/win32/ComEvents.h"
#include "platform/win32/PollTimer.h"

namespace platform::win32 {
namespace {

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

}  // namespace

std::unique_ptr<platform::EventConnection> ConnectShellEvents(
    IShellWindows* list, std::weak_ptr<platform::ShellWindowsEvents> events) {
    const auto sink = MakeComObject<ShellEventsSink>(std::move(events));
    return Advise(list, DIID_DShellWindowsEvents, sink.get());
}

namespace {

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

}  // namespace

std::unique_ptr<platform::EventConnection> Checked(
    std::unique_ptr<platform::EventConnection> events,
    std::weak_ptr<platform::ShellWindowsEvents> receiver, const ListContext& context) {
    if (!events) {
        return nullptr;
    }
    return std::make_unique<CheckedConnection>(std::move(events), std::move(receiver),
                                               context.connected, context.checkMilliseconds);
}

namespace {

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

}  // namespace

std::unique_ptr<platform::ShellWindowList> MakeShellWindowList(ComPtr<IShellWindows> list,
                                                               ListContext context, bool stopgap) {
    return std::make_unique<ComShellWindowList>(std::move(list), std::move(context), stopgap);
}

namespace {

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
    if (!sources_.standIn) {
        return nullptr;
    }
    return sources_.standIn(context, stopgap);
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
