#pragma once

namespace platform {

class EventPump {
  public:
    virtual ~EventPump() = default;
    // Handles every pending event of the user-interface thread, then returns.
    virtual void DoEvents() = 0;
    // Sleeps until at least one event is pending (no CPU while the user thinks).
    virtual void WaitForEvents() = 0;
    // The program was asked to quit (WM_QUIT): a wait for an answer ends, as no answer comes.
    virtual bool QuitRequested() const { return false; }
};

}  // namespace platform
