// The browser automation over COM: the shell's list of open browser windows (ShellWindows), each
// window's IWebBrowser2 and their events. Where the system's list is not implemented (Wine), the
// stand-in browser's list, found in the Running Object Table, takes its place.
#pragma once

#include <exdisp.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/BrowserAutomation.h"
#include "platform/standin/StandInProtocol.h"
#include "platform/win32/Handles.h"

namespace platform::win32 {

struct ShellWindowsSources {
    // The system's list; tests give their own.
    std::function<HRESULT(ComPtr<IShellWindows>& list)> system;
    // The stand-in's list: the item name of its moniker in the Running Object Table.
    std::wstring standInItemName = standin::kRotItemName;
    // How often to look for the stand-in, or check that it still runs: one table lookup each.
    UINT standInPollMilliseconds = 2000;
    // How often the windows listened to are checked for an object that has gone while the list
    // raised nothing: one cross-process call per window each time.
    UINT browserCheckMilliseconds = 1000;
};

class ConnectedWindows;

// Needs COM initialised apartment-threaded on the calling thread, which must run a message loop:
// events of other processes, and the look-out for the stand-in, arrive as window messages.
class ShellWindowsAutomation final : public platform::BrowserAutomation {
  public:
    explicit ShellWindowsAutomation(ShellWindowsSources sources = {});
    // The system's list where it works. Otherwise the stand-in's, looked up afresh on every
    // call, or an empty list while it is not running. Connecting to the events of either starts
    // a timer that follows the stand-in: when one starts it announces a window (so the tracker
    // refreshes) and passes its events on; when it ends it announces a window gone. Connecting
    // also starts the check on the windows listened to: one whose object has gone is announced
    // as a window gone.
    // While the system's list has no server yet (Explorer not started), the stand-in's is
    // handed out as a stopgap and the system's asked for again on the next call.
    std::shared_ptr<platform::ShellWindowList> ShellWindows() override;
    std::unique_ptr<platform::EventConnection> RetryEvery(
        int milliseconds, std::weak_ptr<platform::ShellWindowsEvents> events) override;

  private:
    ShellWindowsSources sources_;
    std::shared_ptr<ConnectedWindows> connected_;
    bool systemUnimplemented_ = false;
};

// CoCreateInstance of the system's ShellWindows.
HRESULT CreateSystemShellWindows(ComPtr<IShellWindows>& list);

}  // namespace platform::win32
