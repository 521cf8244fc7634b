#include "platform/win32/StandInShellWindows.h"

#include <objbase.h>

#include <memory>
#include <optional>
#include <utility>

#include "platform/win32/PollTimer.h"

namespace platform::win32 {
namespace {

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
            list_ = MakeShellWindowList(running_, context_);
        }
    }

    std::optional<int> Count() override { return list_ ? list_->Count() : std::optional<int>(0); }
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
    std::unique_ptr<platform::ShellWindowList> list_;  // the running stand-in's
};

}  // namespace

StandInSource StandInShellWindows(StandInLookOut lookOut) {
    return [lookOut = std::move(lookOut)](const ListContext& context, bool stopgap) {
        return std::make_shared<StandInList>(StandInEntry(lookOut.itemName).Find(),
                                             lookOut.itemName, lookOut.pollMilliseconds, context,
                                             stopgap);
    };
}

}  // namespace platform::win32
