// The stand-in process: the shell window list in the Running Object Table, the browser
// windows, and the end of the process when the last of them closes.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/standin/BrowserWindow.h"
#include "platform/standin/Options.h"
#include "platform/standin/RequestLog.h"
#include "platform/standin/ShellWindows.h"
#include "platform/win32/Handles.h"

namespace standin {

// One registration in the Running Object Table, revoked when it ends.
class RotEntry {
  public:
    RotEntry() = default;
    ~RotEntry() { Revoke(); }
    RotEntry(const RotEntry&) = delete;
    RotEntry& operator=(const RotEntry&) = delete;

    // The table's own answer; MK_S_MONIKERALREADYREGISTERED when another object has the name.
    HRESULT Register(IUnknown* object, IMoniker* name);
    void Revoke();

  private:
    ComPtr<IRunningObjectTable> table_;
    DWORD cookie_ = 0;
};

class StandInApp {
  public:
    // COM must be initialised (apartment-threaded) on this thread for the app's whole life.
    StandInApp(HINSTANCE instance, Options options, RequestLog& log);
    ~StandInApp();
    StandInApp(const StandInApp&) = delete;
    StandInApp& operator=(const StandInApp&) = delete;

    // From the table registration to the last window closed; returns the exit code.
    int Run();

    // Opens a browser window on `url` and lists it; false when the window can't be created.
    bool OpenWindow(const std::wstring& url);
    // Called by a window as it is destroyed: the app lets go of it, and ends with the last one.
    void Forget(BrowserWindow& window);
    void CloseAll();
    // Opens and closes one window `count` times (kWindowCycles).
    void StartCycles(int count);
    // `requests` popup requests from every window, one after another, all windows at once: a
    // thread for each window asks through COM (Navigate to a new window), whose calls a window's
    // wait for a sink still takes in, so the windows' requests nest in one another's waits as
    // the requests of a browser's tabs do.
    void PopupEverywhere(int requests);

    HINSTANCE Instance() const { return instance_; }
    const Options& StartOptions() const { return options_; }
    ShellWindows& List() { return *list_; }
    RequestLog& Log() { return log_; }
    int NextRequest() { return ++requests_; }
    HFONT TextFont() const { return textFont_.get(); }
    HFONT LinkFont() const { return linkFont_.get(); }

  private:
    static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool CreateHost();
    int Start();
    void MessageLoop();
    bool IsBrowserWindow(HWND window) const;
    void NextCycle();

    HINSTANCE instance_;
    Options options_;
    RequestLog& log_;
    ComPtr<ShellWindows> list_;
    RotEntry rotEntry_;
    HWND host_ = nullptr;
    std::vector<std::unique_ptr<BrowserWindow>> windows_;
    int requests_ = 0;
    int opened_ = 0;
    int cyclesLeft_ = 0;
    int cyclesDone_ = 0;
    BrowserWindow* cycling_ = nullptr;  // the window opened by the current cycle
    platform::win32::UniqueFont textFont_;
    platform::win32::UniqueFont linkFont_;
};

}  // namespace standin
