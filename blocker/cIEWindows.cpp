#include "blocker/cIEWindows.h"

#include <utility>

namespace quell {

class cIEWindows::Tracker final : public platform::ShellWindowsEvents,
                                  public std::enable_shared_from_this<Tracker> {
  public:
    Tracker(platform::BrowserAutomation& automation, BlockerState& state, NewWindowDecision decide)
        : automation_(automation), state_(state), decide_(std::move(decide)) {}

    void Refresh();
    void Terminate();

    void WindowRegistered(std::int32_t) override { Refresh(); }
    void WindowRevoked(std::int32_t) override { Refresh(); }

    bool busy() const { return busy_; }
    const std::vector<std::shared_ptr<IE_Class>>& windows() const { return windows_; }

  private:
    // Clears the busy flag on every way out of a refresh; waits on the flag depend on it.
    class BusyScope {
      public:
        explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
        ~BusyScope() { busy_ = false; }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

      private:
        bool& busy_;
    };

    void RebuildOnce();
    void AddWindow(std::shared_ptr<platform::BrowserWindow> browser);
    void DropWindows();

    platform::BrowserAutomation& automation_;
    BlockerState& state_;
    NewWindowDecision decide_;
    // One for all listeners: a refresh between the two events of a request keeps its answer.
    std::shared_ptr<NewWindowPairs> pairs_ = std::make_shared<NewWindowPairs>();
    std::vector<std::shared_ptr<IE_Class>> windows_;
    std::shared_ptr<platform::ShellWindowList> winShell_;
    std::unique_ptr<platform::EventConnection> winShellEvents_;
    bool busy_ = false;
    bool bound_ = false;
    bool refreshAgain_ = false;
    bool terminated_ = false;
};

void cIEWindows::Tracker::Refresh() {
    if (terminated_) {
        return;
    }
    if (busy_) {
        // A shell event delivered while the refresh below us on this very stack waits for a
        // cross-process call: that refresh can't finish before we return, so waiting for it
        // would never end. It runs once more instead, and then sees the latest list.
        refreshAgain_ = true;
        return;
    }
    const BusyScope busy(busy_);
    do {
        refreshAgain_ = false;
        RebuildOnce();
    } while (refreshAgain_ && !terminated_);
}

void cIEWindows::Tracker::RebuildOnce() {
    DropWindows();
    const std::shared_ptr<platform::ShellWindowList> list = automation_.ShellWindows();
    if (!list || terminated_) {
        return;
    }
    const std::optional<int> count = list->Count();
    if (!count) {
        return;
    }
    for (int index = 0; index < *count && !terminated_; ++index) {
        platform::ShellItem item = list->Item(index);
        if (item.status == platform::ShellItem::Status::ListFailed) {
            return;  // what was added stays; winShell stays as it was
        }
        if (item.status == platform::ShellItem::Status::Window) {
            AddWindow(std::move(item.window));
        }
    }
    if (!bound_ && !terminated_) {
        winShellEvents_ = list->Connect(weak_from_this());
        if (winShellEvents_) {
            winShell_ = list;
            bound_ = true;
        }
    }
}

void cIEWindows::Tracker::AddWindow(std::shared_ptr<platform::BrowserWindow> browser) {
    if (!browser) {
        return;
    }
    auto listener = std::make_shared<IE_Class>(state_, decide_, pairs_);
    if (listener->IEctl(std::move(browser))) {
        windows_.push_back(std::move(listener));
    }
}

void cIEWindows::Tracker::DropWindows() {
    // Detached explicitly: a listener whose handler is still running stays alive until it
    // returns, but hears nothing more and holds no window.
    std::vector<std::shared_ptr<IE_Class>> dropped = std::exchange(windows_, {});
    for (const auto& listener : dropped) {
        listener->Detach();
    }
}

void cIEWindows::Tracker::Terminate() {
    terminated_ = true;
    DropWindows();
    winShellEvents_.reset();
    winShell_.reset();
    bound_ = false;
}

cIEWindows::cIEWindows(platform::BrowserAutomation& automation, BlockerState& state,
                       NewWindowDecision decide)
    : tracker_(std::make_shared<Tracker>(automation, state, std::move(decide))) {
    tracker_->Refresh();
}

cIEWindows::~cIEWindows() {
    tracker_->Terminate();
}

std::shared_ptr<IE_Class> cIEWindows::IE(int position) const {
    const auto& windows = tracker_->windows();
    if (tracker_->busy() || position < 1 || position > static_cast<int>(windows.size())) {
        return nullptr;
    }
    return windows[static_cast<std::size_t>(position - 1)];
}

int cIEWindows::Count() const {
    return static_cast<int>(tracker_->windows().size());
}

std::vector<std::shared_ptr<IE_Class>> cIEWindows::NewEnum() const {
    return tracker_->windows();
}

void cIEWindows::winShell_WindowRegistered(std::int32_t cookie) {
    tracker_->WindowRegistered(cookie);
}

void cIEWindows::winShell_WindowRevoked(std::int32_t cookie) {
    tracker_->WindowRevoked(cookie);
}

bool cIEWindows::closeIE() {
    const std::shared_ptr<IE_Class> first = IE(1);
    return first && first->Quit();
}

}  // namespace quell
