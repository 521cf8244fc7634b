// The listener on one browser window: its new-window requests go to the popup decision, its
// status text to the shared state.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "blocker/BlockerState.h"
#include "platform/BrowserAutomation.h"

namespace quell {

// The popup decision as the tracker runs it; the main window binds PopupDecision with its
// context.
using NewWindowDecision =
    std::function<void(platform::WebBrowser& opener, platform::CancelFlag& cancel)>;

enum class NewWindowRequest { NewWindow2, NewWindow3 };

// The answer to each window's latest new-window request, kept a moment so that a browser raising
// the same request both ways is answered once. Shared by every listener of a tracker: a listener
// rebuilt between the two events still finds it.
class NewWindowPairs {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // A browser raising both events for one request raises the second as soon as the first is
    // answered; a request of the other kind after this long is a request of its own.
    static constexpr std::chrono::milliseconds kPairWindow{500};

    explicit NewWindowPairs(Clock clock = &std::chrono::steady_clock::now)
        : clock_(std::move(clock)) {}

    // Called as a request arrives. When it is the other half of the window's latest request,
    // that request's answer (nothing: the flag was left alone) to pass on without deciding.
    // Either way the latest request is forgotten: an answer serves one second event at most.
    std::optional<std::optional<bool>> Take(const std::shared_ptr<const void>& window,
                                            NewWindowRequest request);
    // Called as a decision returns.
    void Record(std::shared_ptr<const void> window, NewWindowRequest request,
                std::optional<bool> cancel);

  private:
    struct Answer {
        std::shared_ptr<const void> window;  // held: its identity is not given to another
        NewWindowRequest request;
        std::optional<bool> cancel;
        std::chrono::steady_clock::time_point decided;
    };
    void ForgetOld();

    Clock clock_;
    std::vector<Answer> answers_;  // one per window answered within the pair window
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
    // Asks the window listened to to close; false when there is none or it can't be asked.
    bool Quit();

    void NewWindow2(platform::CancelFlag& cancel) override;
    void NewWindow3(platform::CancelFlag& cancel) override;
    void StatusTextChange(const std::string& text) override;
    void OtherEvent() override;

  private:
    void OnNewWindow(NewWindowRequest request, platform::CancelFlag& cancel);

    BlockerState& state_;
    NewWindowDecision decide_;
    std::shared_ptr<NewWindowPairs> pairs_;
    std::shared_ptr<platform::BrowserWindow> IE_;
    std::unique_ptr<platform::EventConnection> connection_;
};

}  // namespace quell
