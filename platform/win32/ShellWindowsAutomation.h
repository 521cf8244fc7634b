// The browser automation over COM: the shell's list of open browser windows (ShellWindows), each
// window's IWebBrowser2 and their events. Where the system's list is not implemented (Wine), a
// list handed in from outside takes its place.
#pragma once

#include <exdisp.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/BrowserAutomation.h"
#include "platform/win32/Handles.h"

namespace platform::win32 {

class ConnectedWindows;

// What every list hands on to the windows it lists.
struct ListContext {
    std::shared_ptr<ConnectedWindows> connected;
    UINT checkMilliseconds;
};

// The list that serves where the system's is not implemented, or not registered yet
// (`stopgap`: the system's is asked for again on the next call).
using StandInSource =
    std::function<std::shared_ptr<platform::ShellWindowList>(const ListContext&, bool stopgap)>;

struct ShellWindowsSources {
    // The system's list; tests give their own.
    std::function<HRESULT(ComPtr<IShellWindows>& list)> system;
    // None: no list where the system's does not serve.
    StandInSource standIn;
    // How often the windows listened to are checked for an object that has gone while the list
    // raised nothing: one cross-process call per window each time.
    UINT browserCheckMilliseconds = 1000;
};

// Needs COM initialised apartment-threaded on the calling thread, which must run a message loop:
// events of other processes, and the look-out for the stand-in, arrive as window messages.
class ShellWindowsAutomation final : public platform::BrowserAutomation {
  public:
    explicit ShellWindowsAutomation(ShellWindowsSources sources = {});
    // The system's list where it works, otherwise the stand-in source's, asked for afresh on
    // every call. Connecting to a list's events also starts the check on the windows listened
    // to: one whose object has gone is announced as a window gone.
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

// The pieces a stand-in source builds its list from. The list's DShellWindowsEvents, or nothing
// when they can't be connected:
std::unique_ptr<platform::EventConnection> ConnectShellEvents(
    IShellWindows* list, std::weak_ptr<platform::ShellWindowsEvents> events);
// `events` with the check on the connected windows, or nothing without `events`:
std::unique_ptr<platform::EventConnection> Checked(
    std::unique_ptr<platform::EventConnection> events,
    std::weak_ptr<platform::ShellWindowsEvents> receiver, const ListContext& context);
// A list over `list`, walked as one snapshot per count:
std::unique_ptr<platform::ShellWindowList> MakeShellWindowList(ComPtr<IShellWindows> list,
                                                               ListContext context,
                                                               bool stopgap = false);

}  // namespace platform::win32
