#pragma once

namespace platform {

class EventPump {
  public:
    virtual ~EventPump() = default;
    // Handles every pending event of the user-interface thread, then returns.
    virtual void DoEvents() = 0;
    // Sleeps until at least one event is pending (no CPU while the user thinks).
    virtual void WaitForEvents() = 0;
};

}  // namespace platform
