// The listener on one browser window: its new-window requests go to the popup decision, its
// status text to the shared state.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "blocker/BlockerState.h"
#include "platform/BrowserAutomation.h"

namespace quell {

// The popup decision as the tracker runs it; the main window binds PopupDecision with its
// context. Given the popup's address when the browser told it; returns the serial of the
// history entry it recorded, 0 for none.
using NewWindowDecision = std::function<std::uint64_t(
    platform::WebBrowser& opener, platform::CancelFlag& cancel, std::string_view popupUrl)>;

class IE_Class final : public platform::BrowserEvents,
                       public std::enable_shared_from_this<IE_Class> {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // A browser raising both events for one request raises the second at once; a request of
    // the other kind after this long is a request of its own.
    static constexpr std::chrono::milliseconds kPairWindow{500};

    IE_Class(BlockerState& state, NewWindowDecision decide,
             Clock clock = &std::chrono::steady_clock::now);
    ~IE_Class() override;  // Class_Terminate
    IE_Class(const IE_Class&) = delete;
    IE_Class& operator=(const IE_Class&) = delete;

    // Attaches to the browser window, letting go of the previous one. False when the event
    // connection could not be opened; the object then listens to nothing. Needs the object to
    // be owned by a shared_ptr, since events reach it through a weak reference.
    bool IEctl(std::shared_ptr<platform::BrowserWindow> browser);
    // Closes the event connection and lets go of the window (what Class_Terminate does, and
    // what a refresh does to every listener it drops, even one whose handler is still running).
    void Detach();
    // The identity of the window listened to; nothing when none.
    const void* WindowIdentity() const { return IE_ ? IE_->Identity() : nullptr; }
    // Asks the window listened to to close; false when there is none or it can't be asked.
    bool Quit();
    std::optional<std::string> LocationURL();
    // Opens the address in a new window of this browser window, letting through the one
    // request it raises for it (NewWindow2, or NewWindow3 with this address) within
    // kPassWindow; an identical later request is decided as any other.
    bool OpenPopup(const std::string& url);
    static constexpr std::chrono::seconds kPassWindow{10};

    void NewWindow2(platform::CancelFlag& cancel) override;
    void NewWindow3(platform::CancelFlag& cancel, const std::string& url) override;
    void StatusTextChange(const std::string& text) override;
    void OtherEvent() override;

  private:
    enum class Request { NewWindow2, NewWindow3 };
    // The answer given to the window's latest new-window request; nothing when the decision
    // left the flag as the browser passed it.
    struct Answer {
        Request request;
        std::optional<bool> cancel;
        std::chrono::steady_clock::time_point decided;
        std::uint64_t recorded;  // the history entry of a blocked request
    };

    void OnNewWindow(Request request, platform::CancelFlag& cancel, std::string_view url);

    BlockerState& state_;
    NewWindowDecision decide_;
    Clock clock_;
    std::shared_ptr<platform::BrowserWindow> IE_;
    std::unique_ptr<platform::EventConnection> connection_;
    // Set when a decision returns, cleared by the window's next event: a browser that raises
    // both NewWindow2 and NewWindow3 for one request raises them back to back, at once.
    std::optional<Answer> lastAnswer_;
    struct Pass {
        std::string url;
        std::chrono::steady_clock::time_point until;
    };
    std::optional<Pass> pass_;
};

}  // namespace quell
