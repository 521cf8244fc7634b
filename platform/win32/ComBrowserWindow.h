// One browser window of a shell's list over COM, and the windows whose events are connected,
// checked from time to time for an object that has gone.
#pragma once

#include <exdisp.h>
#include <windows.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/BrowserAutomation.h"
#include "platform/win32/Handles.h"

namespace platform::win32 {

class ConnectedWindows;

// Its IWebBrowser2 is asked for only when the blocker needs the address or a quit: across
// processes a proxy for that large interface costs more than all the rest of attaching, and a
// refresh attaches to every window. A window whose events can't be connected (not a browser, or
// gone) is skipped when it is attached.
class ComBrowserWindow final : public platform::BrowserWindow,
                               public std::enable_shared_from_this<ComBrowserWindow> {
  public:
    ComBrowserWindow(ComPtr<IDispatch> window, std::shared_ptr<ConnectedWindows> connected)
        : window_(std::move(window)), connected_(std::move(connected)) {}

    std::optional<std::string> LocationURL() override;
    bool Quit() override;
    bool NavigateInNewWindow(const std::string& url) override;
    std::shared_ptr<const void> Identity() override;
    std::unique_ptr<platform::EventConnection> Connect(
        std::weak_ptr<platform::BrowserEvents> events) override;

    // One cheap call that needs the object itself: true when it has gone.
    bool Gone();

  private:
    ComPtr<IWebBrowser2> Browser();

    ComPtr<IDispatch> window_;
    ComPtr<IWebBrowser2> browser_;
    std::shared_ptr<const void> identity_;
    std::shared_ptr<ConnectedWindows> connected_;
};

// A window's object may go while the shell's list still names the same entry and raises nothing
// (a browser moving a tab to a process of another integrity level, a tab process that ended):
// its listener would then hear nothing more, so the connected windows are checked from time to
// time.
class ConnectedWindows {
  public:
    void Add(std::weak_ptr<ComBrowserWindow> window);

    // One cross-process call for each of the next few windows in turn, so that a check with many
    // windows open does not hold up the thread; true at the first that has gone.
    bool AnyGone();

  private:
    static constexpr std::size_t kChecksPerTick = 8;
    std::vector<std::weak_ptr<ComBrowserWindow>> windows_;
    std::size_t next_ = 0;
};

}  // namespace platform::win32
