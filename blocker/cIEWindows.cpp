#include "blocker/cIEWindows.h"

#include <algorithm>
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
    bool watching() const { return watching_; }
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

    // False when the list could not be had, walked whole or bound.
    bool RefreshOnce();
    std::shared_ptr<IE_Class> Attach(std::shared_ptr<platform::BrowserWindow> browser);
    bool Bind(const std::shared_ptr<platform::ShellWindowList>& list);
    void Retry(bool watching);
    void DropWindows();

    platform::BrowserAutomation& automation_;
    BlockerState& state_;
    NewWindowDecision decide_;
    // One for all listeners: a refresh between the two events of a request keeps its answer.
    std::shared_ptr<NewWindowPairs> pairs_ = std::make_shared<NewWindowPairs>();
    std::vector<std::shared_ptr<IE_Class>> windows_;
    std::shared_ptr<platform::ShellWindowList> winShell_;
    std::unique_ptr<platform::EventConnection> winShellEvents_;
    std::unique_ptr<platform::EventConnection> retry_;
    bool busy_ = false;
    bool bound_ = false;
    bool watching_ = false;
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
    bool watching = false;
    {
        const BusyScope busy(busy_);
        do {
            refreshAgain_ = false;
            watching = RefreshOnce();
        } while (refreshAgain_ && !terminated_);
    }
    Retry(watching);
}

bool cIEWindows::Tracker::RefreshOnce() {
    const std::shared_ptr<platform::ShellWindowList> list = automation_.ShellWindows();
    if (!list || terminated_) {
        return false;
    }
    const std::optional<int> count = list->Count();
    if (!count) {
        return false;
    }
    // Every listener stays attached while the list is walked: the calls below let incoming
    // calls in, and a request of a window with no listener would open unasked.
    std::vector<std::shared_ptr<IE_Class>> kept;
    std::vector<bool> listed(windows_.size(), false);
    bool whole = true;
    for (int index = 0; index < *count && !terminated_; ++index) {
        platform::ShellItem item = list->Item(index);
        if (item.status == platform::ShellItem::Status::ListFailed) {
            whole = false;
            break;
        }
        if (item.status != platform::ShellItem::Status::Window || !item.window) {
            continue;
        }
        const void* identity = item.window->Identity().get();
        const bool twice = std::any_of(kept.begin(), kept.end(), [&](const auto& listener) {
            return listener->WindowIdentity() == identity;
        });
        if (twice) {
            continue;  // one listener per window, or its requests would be decided twice
        }
        std::shared_ptr<IE_Class> listener;
        for (std::size_t i = 0; i < windows_.size() && !listener; ++i) {
            if (!listed[i] && windows_[i]->WindowIdentity() == identity) {
                listed[i] = true;
                listener = windows_[i];
            }
        }
        if (!listener) {
            listener = Attach(std::move(item.window));
        }
        if (listener) {
            kept.push_back(std::move(listener));
        }
    }
    if (terminated_) {
        for (const auto& listener : kept) {
            listener->Detach();  // attached after Terminate dropped the others
        }
        return false;
    }
    for (std::size_t i = 0; i < listed.size(); ++i) {
        if (listed[i]) {
            continue;
        }
        if (whole) {
            windows_[i]->Detach();  // gone from the list
        } else {
            kept.push_back(windows_[i]);  // not reached: maybe still open
        }
    }
    windows_ = std::move(kept);
    return whole && Bind(list);
}

bool cIEWindows::Tracker::Bind(const std::shared_ptr<platform::ShellWindowList>& list) {
    if (bound_ && !(winShell_->Stopgap() && !list->Stopgap())) {
        return !winShell_->Stopgap();  // a stopgap keeps the retries going
    }
    std::unique_ptr<platform::EventConnection> events = list->Connect(weak_from_this());
    if (!events) {
        return false;
    }
    winShellEvents_ = std::move(events);
    winShell_ = list;
    bound_ = true;
    return !list->Stopgap();
}

void cIEWindows::Tracker::Retry(bool watching) {
    watching_ = watching;
    if (terminated_ || watching) {
        retry_.reset();
    } else if (!retry_) {
        retry_ = automation_.RetryEvery(kRetryMilliseconds, weak_from_this());
    }
}

std::shared_ptr<IE_Class> cIEWindows::Tracker::Attach(
    std::shared_ptr<platform::BrowserWindow> browser) {
    auto listener = std::make_shared<IE_Class>(state_, decide_, pairs_);
    if (!listener->IEctl(std::move(browser))) {
        return nullptr;
    }
    return listener;
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
    retry_.reset();
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

bool cIEWindows::Watching() const {
    return tracker_->watching();
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

bool cIEWindows::OpenPopup(const std::string& opener, const std::string& url) {
    for (const std::shared_ptr<IE_Class>& window : NewEnum()) {
        if (window->LocationURL() == opener) {
            return window->OpenPopup(url);
        }
    }
    return false;
}

bool cIEWindows::closeIE() {
    const std::shared_ptr<IE_Class> first = IE(1);
    return first && first->Quit();
}

}  // namespace quell
