// Fakes of the browser automation for native tests: browser windows whose events a test raises,
// and a shell list that counts its event connections.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/BrowserAutomation.h"

namespace quell::testing {

// Receivers connected to one event source. A connection that ends removes its receiver; the
// source may be gone by then.
template <class Events>
class FakeEventSource {
  public:
    std::unique_ptr<platform::EventConnection> Connect(std::weak_ptr<Events> events) {
        const int id = receivers_->next++;
        receivers_->open.emplace(id, std::move(events));
        ++receivers_->connects;
        return std::make_unique<Connection>(receivers_, id);
    }
    int OpenConnections() const { return static_cast<int>(receivers_->open.size()); }
    int Connects() const { return receivers_->connects; }

    // Delivers an event the way a connection does: each receiver is held for its call only.
    void Raise(const std::function<void(Events&)>& deliver) {
        std::vector<std::weak_ptr<Events>> receivers;
        for (const auto& [id, receiver] : receivers_->open) {
            receivers.push_back(receiver);
        }
        for (const auto& weak : receivers) {
            if (const std::shared_ptr<Events> receiver = weak.lock()) {
                deliver(*receiver);
            }
        }
    }

  private:
    struct Receivers {
        std::map<int, std::weak_ptr<Events>> open;
        int next = 0;
        int connects = 0;
    };
    class Connection final : public platform::EventConnection {
      public:
        Connection(std::shared_ptr<Receivers> receivers, int id)
            : receivers_(std::move(receivers)), id_(id) {}
        ~Connection() override { receivers_->open.erase(id_); }

      private:
        std::shared_ptr<Receivers> receivers_;
        int id_;
    };
    std::shared_ptr<Receivers> receivers_ = std::make_shared<Receivers>();
};

class FakeBrowserWindow : public platform::BrowserWindow {
  public:
    explicit FakeBrowserWindow(std::string url) : url(std::move(url)) {}
    std::shared_ptr<const void> Identity() override { return identity; }
    std::optional<std::string> LocationURL() override {
        ++locationReads;
        return url;
    }
    bool Quit() override {
        ++quitCalls;
        return true;
    }
    // As a browser does: the new window is asked for with the window's new-window events.
    bool NavigateInNewWindow(const std::string& address) override {
        navigations.push_back(address);
        if (onNavigate) {
            onNavigate(address);
        }
        return true;
    }
    std::vector<std::string> navigations;
    std::function<void(const std::string&)> onNavigate;
    std::unique_ptr<platform::EventConnection> Connect(
        std::weak_ptr<platform::BrowserEvents> listener) override {
        if (!attachable) {
            return nullptr;
        }
        auto connection = events.Connect(std::move(listener));
        if (onConnect) {
            onConnect();
        }
        return connection;
    }

    void RaiseNewWindow2(platform::CancelFlag& cancel) {
        events.Raise([&](platform::BrowserEvents& e) { e.NewWindow2(cancel); });
    }
    void RaiseNewWindow3(platform::CancelFlag& cancel, const std::string& popupUrl = {}) {
        events.Raise([&](platform::BrowserEvents& e) { e.NewWindow3(cancel, popupUrl); });
    }
    void RaiseStatusText(const std::string& text) {
        events.Raise([&](platform::BrowserEvents& e) { e.StatusTextChange(text); });
    }
    void RaiseOther() {
        events.Raise([](platform::BrowserEvents& e) { e.OtherEvent(); });
    }

    std::optional<std::string> url;
    bool attachable = true;
    std::function<void()> onConnect;  // runs as the connection opens, as incoming calls would
    int locationReads = 0;
    int quitCalls = 0;
    FakeEventSource<platform::BrowserEvents> events;
    // Shared by a copy of this window made to stand for another wrapper of it.
    std::shared_ptr<const void> identity = std::make_shared<int>(0);
};

// The windows the shell listed when the list was taken; as the real list, an entry may fail.
class FakeShellWindowList : public platform::ShellWindowList {
  public:
    std::optional<int> Count() override {
        if (countFails) {
            return std::nullopt;
        }
        return static_cast<int>(windows.size());
    }
    platform::ShellItem Item(int index) override {
        if (onItem) {
            onItem(index);
        }
        if (index == failAt) {
            return {platform::ShellItem::Status::ListFailed, nullptr};
        }
        if (index == notABrowserAt) {
            return {platform::ShellItem::Status::Skipped, nullptr};
        }
        return {platform::ShellItem::Status::Window, windows.at(static_cast<std::size_t>(index))};
    }
    std::unique_ptr<platform::EventConnection> Connect(
        std::weak_ptr<platform::ShellWindowsEvents> listener) override {
        if (!connectable) {
            return nullptr;
        }
        return events.Connect(std::move(listener));
    }
    bool Stopgap() const override { return stopgap; }

    void RaiseWindowRegistered() {
        events.Raise([](platform::ShellWindowsEvents& e) { e.WindowRegistered(1); });
    }
    void RaiseWindowRevoked() {
        events.Raise([](platform::ShellWindowsEvents& e) { e.WindowRevoked(1); });
    }

    std::vector<std::shared_ptr<FakeBrowserWindow>> windows;
    bool countFails = false;
    bool connectable = true;
    bool stopgap = false;
    int failAt = -1;
    int notABrowserAt = -1;
    std::function<void(int index)> onItem;
    FakeEventSource<platform::ShellWindowsEvents> events;
};

// Open windows as the shell sees them; each call hands out a fresh list of them, and a test may
// shape that list before the tracker walks it.
class FakeBrowserAutomation : public platform::BrowserAutomation {
  public:
    std::shared_ptr<platform::ShellWindowList> ShellWindows() override {
        auto list = std::make_shared<FakeShellWindowList>();
        list->windows = open;
        if (shape) {
            shape(*list);
        }
        if (unavailable) {
            return nullptr;
        }
        lists.push_back(list);
        return list;
    }

    std::unique_ptr<platform::EventConnection> RetryEvery(
        int milliseconds, std::weak_ptr<platform::ShellWindowsEvents> events) override {
        retryMilliseconds = milliseconds;
        return retries.Connect(std::move(events));
    }
    // One tick of every retry timer running.
    void TickRetries() {
        retries.Raise([](platform::ShellWindowsEvents& e) { e.WindowRegistered(0); });
    }

    std::shared_ptr<FakeBrowserWindow> Open(const std::string& url) {
        open.push_back(std::make_shared<FakeBrowserWindow>(url));
        return open.back();
    }
    void Close(const std::shared_ptr<FakeBrowserWindow>& window) { std::erase(open, window); }
    // The list the tracker bound (the first it connected to), or nothing.
    std::shared_ptr<FakeShellWindowList> Bound() const {
        for (const auto& weak : lists) {
            const auto list = weak.lock();
            if (list && list->events.Connects() > 0) {
                return list;
            }
        }
        return nullptr;
    }

    std::vector<std::shared_ptr<FakeBrowserWindow>> open;
    bool unavailable = false;
    std::function<void(FakeShellWindowList&)> shape;
    std::vector<std::weak_ptr<FakeShellWindowList>> lists;  // every list handed out
    FakeEventSource<platform::ShellWindowsEvents> retries;
    int retryMilliseconds = 0;
};

}  // namespace quell::testing
