// The browser window tracker: one IE_Class listener on every window of the shell's list. When a
// window opens or closes, windows new to the list are attached and windows gone from it
// detached; every other listener stays as it is, so that no window goes unheard meanwhile.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "blocker/BlockerState.h"
#include "blocker/IE_Class.h"
#include "platform/BrowserAutomation.h"

namespace quell {

class cIEWindows {
  public:
    // A refresh that could not get, walk or bind the shell's list tries again this often.
    static constexpr int kRetryMilliseconds = 2000;

    // Class_Initialize: the first refresh, which binds winShell. `automation` must outlive the
    // tracker; `decide` runs for every new-window request of every tracked window.
    cIEWindows(platform::BrowserAutomation& automation, BlockerState& state,
               NewWindowDecision decide);
    // Class_Terminate: every listener ends (its event connection closed), then winShell is
    // unbound.
    ~cIEWindows();
    cIEWindows(const cIEWindows&) = delete;
    cIEWindows& operator=(const cIEWindows&) = delete;

    // The listener at a position from 1; nothing out of range or while a refresh runs.
    std::shared_ptr<IE_Class> IE(int position) const;
    int Count() const;
    // The listeners in the shell's order, as they are now; a later refresh doesn't change it.
    std::vector<std::shared_ptr<IE_Class>> NewEnum() const;

    void winShell_WindowRegistered(std::int32_t cookie);
    void winShell_WindowRevoked(std::int32_t cookie);

    // Asks the first tracked window to close; false when there is none or it can't be asked.
    bool closeIE();
    // Opens a blocked popup's address from a tracked window that shows its opener's page
    // (IE_Class::OpenPopup); false when no such window is tracked or it can't be asked.
    bool OpenPopup(const std::string& opener, const std::string& url);

    // Whether the shell's list is bound and was walked whole by the latest refresh; while not,
    // a timer tries again.
    bool Watching() const;

  private:
    class Tracker;
    // Shared with the event connections' handlers, so that a tracker released while one of its
    // own handlers runs stays whole until that handler returns.
    std::shared_ptr<Tracker> tracker_;
};

}  // namespace quell
