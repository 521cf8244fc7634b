// A time-out on this apartment's calls into other processes: a browser that stops answering (hung,
// or stopped in a debugger) would otherwise hold the thread inside the call for good, and with
// it every refresh, every decision and the exit. (Wine 8 logs the cancel and goes on waiting.)
#pragma once

#include <ole2.h>
#include <windows.h>

#include <memory>

#include "platform/win32/Handles.h"

namespace platform::win32 {

class CallTimeout {
  public:
    // Registers the message filter on the calling thread's apartment (COM initialised
    // apartment-threaded); the previous one comes back when this ends.
    explicit CallTimeout(DWORD milliseconds);
    ~CallTimeout();
    CallTimeout(const CallTimeout&) = delete;
    CallTimeout& operator=(const CallTimeout&) = delete;

    bool registered() const { return registered_; }
    // For the calls from now on.
    void Set(DWORD milliseconds) { *milliseconds_ = milliseconds; }

  private:
    std::shared_ptr<DWORD> milliseconds_;
    ComPtr<IMessageFilter> previous_;
    bool registered_ = false;
};

// What the filter answers, for a call that has waited `elapsed` milliseconds.
DWORD PendingAnswer(DWORD elapsed, DWORD timeout);
DWORD RejectedAnswer(DWORD elapsed, DWORD rejectType, DWORD timeout);

}  // namespace platform::win32
