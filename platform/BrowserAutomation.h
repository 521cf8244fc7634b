// The browser automation the window tracker needs: the shell's list of open browser windows,
// its registration events, and each window's events.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/Browser.h"

namespace platform {

// What one browser window reports. Only the new-window requests and the status text carry
// anything the blocker reads; every other event is announced without its arguments, so none of
// them can be changed (a navigation or a closing window is never cancelled).
class BrowserEvents {
  public:
    virtual ~BrowserEvents() = default;
    virtual void NewWindow2(CancelFlag& cancel) = 0;
    // Raised in place of (or as well as) NewWindow2 by browsers from IE 6 on XP SP2 onward.
    // `url` is the popup's own address (bstrUrl).
    virtual void NewWindow3(CancelFlag& cancel, const std::string& url) = 0;
    virtual void StatusTextChange(const std::string& text) = 0;
    virtual void OtherEvent() = 0;
};

// The shell's list changed; the cookie names the window, and the tracker does not use it.
class ShellWindowsEvents {
  public:
    virtual ~ShellWindowsEvents() = default;
    virtual void WindowRegistered(std::int32_t cookie) = 0;
    virtual void WindowRevoked(std::int32_t cookie) = 0;
};

// An open event connection: events flow until it ends. Events go to a weakly held receiver,
// which the connection keeps alive only for the length of each call, so a receiver may be
// dropped from inside its own handler.
class EventConnection {
  public:
    virtual ~EventConnection() = default;
};

class BrowserWindow : public WebBrowser {
  public:
    // The same object for every wrapper of one window, even from lists taken at different times;
    // while it is held, no other window can be given it.
    virtual std::shared_ptr<const void> Identity() = 0;
    // Asks the window to close; false when it could not be asked.
    virtual bool Quit() = 0;
    // Asks the window to open the address in a new window, as a page's link would (the
    // browser raises its new-window events for it); false when it could not be asked.
    virtual bool NavigateInNewWindow(const std::string& /*url*/) { return false; }
    // Nothing when the connection can't be opened (the window is gone, or has no events).
    virtual std::unique_ptr<EventConnection> Connect(std::weak_ptr<BrowserEvents> events) = 0;
};

// One entry of the shell's list.
struct ShellItem {
    enum class Status {
        Window,      // a browser window
        Skipped,     // not a browser window, or gone while it was asked
        ListFailed,  // the list itself can't be walked any further
    };
    Status status = Status::Skipped;
    std::shared_ptr<BrowserWindow> window;  // set only for Window
};

// A snapshot handle on the shell's list of open browser windows.
class ShellWindowList {
  public:
    virtual ~ShellWindowList() = default;
    // Nothing when the list can't be walked.
    virtual std::optional<int> Count() = 0;
    virtual ShellItem Item(int index) = 0;  // from 0
    virtual std::unique_ptr<EventConnection> Connect(std::weak_ptr<ShellWindowsEvents> events) = 0;
    // A list that stands in for the system's while that one can't be had (its server not up
    // yet): a tracker bound to it keeps asking, and binds the system's list once it comes.
    virtual bool Stopgap() const { return false; }
};

class BrowserAutomation {
  public:
    virtual ~BrowserAutomation() = default;
    // A fresh list on every call; nothing when the shell's list can't be obtained.
    virtual std::shared_ptr<ShellWindowList> ShellWindows() = 0;
    // Until the connection ends, `events` hears a window registered every so often: how a
    // tracker that could not get, walk or bind the list tries again. Nothing when no timer can
    // be started.
    virtual std::unique_ptr<EventConnection> RetryEvery(
        int milliseconds, std::weak_ptr<ShellWindowsEvents> events) = 0;
};

}  // namespace platform
