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
#include <vector>

#include "blocker/BlockerState.h"
#include "platform/BrowserAutomation.h"

namespace quell {

// The popup decision as the tracker runs it; the main window binds PopupDecision with its
// context. Given the popup's address when the browser told it; returns the serial of the
// history entry it recorded, 0 for none.
using NewWindowDecision = std::function<std::uint64_t(
    platform::WebBrowser& opener, platform::CancelFlag& cancel, std::string_view popupUrl)>;

enum class NewWindowRequest { NewWindow2, NewWindow3 };

// The answers to each window's new-window requests, kept a moment so that a browser raising the
// same request both ways is answered once. Shared by every listener of a tracker: a listener
// rebuilt between the two events still finds them. A window may raise a request while another
// of its own waits for an answer (nested in the pump): the inner one's second event comes first,
// since the browser raises it before it returns to the outer request.
class NewWindowPairs {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // A browser raising both events for one request raises the second as soon as the first is
    // answered, or once requests of its other windows nested in that wait are answered; a
    // request of the other kind after this long with no request event and no decision running
    // is a request of its own (a browser that raises one kind of event only, switched).
    static constexpr std::chrono::milliseconds kPairWindow{500};

    explicit NewWindowPairs(Clock clock = &std::chrono::steady_clock::now)
        : clock_(std::move(clock)) {}

    // Called as a request arrives. When it is the other half of an answered request of the
    // window (the latest begun of those of the other kind), that request's answer (nothing: the
    // flag was left alone) to pass on without deciding; the answer serves no other event. A
    // request of its own forgets the window's answers unless a decision of that window is still
    // running: a browser raises a request's second event before anything else of the window.
    struct Paired {
        std::optional<bool> cancel;
        std::uint64_t recorded;  // the history entry of a blocked request, 0 for none
    };
    std::optional<Paired> Take(const std::shared_ptr<const void>& window, NewWindowRequest request);
    // Called as a decision begins; the order of requests begun.
    std::uint64_t Begin(const void* window);
    // Called as a decision returns.
    void Record(std::shared_ptr<const void> window, NewWindowRequest request,
                std::optional<bool> cancel, std::uint64_t begun, std::uint64_t recorded);
    std::chrono::steady_clock::time_point Now() const { return clock_(); }

  private:
    struct Answer {
        std::shared_ptr<const void> window;  // held: its identity is not given to another
        NewWindowRequest request;
        std::optional<bool> cancel;
        std::uint64_t begun;
        std::uint64_t recorded;
    };
    // Forgets every answer after a quiet pair window, then marks now as heard.
    void Hear();

    Clock clock_;
    std::uint64_t begun_ = 0;
    std::chrono::steady_clock::time_point heard_;  // the latest request event or decision
    std::vector<const void*> running_;             // a window once for each decision of it running
    std::vector<Answer> answers_;                  // requests answered within the pair window
};

class IE_Class final : public platform::BrowserEvents,
                       public std::enable_shared_from_this<IE_Class> {
  public:
    IE_Class(BlockerState& state, NewWindowDecision decide,
             std::shared_ptr<NewWindowPairs> pairs = std::make_shared<NewWindowPairs>());
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
    const void* WindowIdentity() const { return IE_ ? IE_->Identity().get() : nullptr; }
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
    void OnNewWindow(NewWindowRequest request, platform::CancelFlag& cancel, std::string_view url);

    BlockerState& state_;
    NewWindowDecision decide_;
    std::shared_ptr<NewWindowPairs> pairs_;
    std::shared_ptr<platform::BrowserWindow> IE_;
    std::unique_ptr<platform::EventConnection> connection_;
    struct Pass {
        std::string url;
        std::chrono::steady_clock::time_point until;
    };
    std::optional<Pass> pass_;
};

}  // namespace quell
