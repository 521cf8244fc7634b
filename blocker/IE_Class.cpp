#include "blocker/IE_Class.h"

#include <algorithm>
#include <utility>

namespace quell {
namespace {

// Passes the decision's writes on and remembers the last one.
class RememberingCancelFlag final : public platform::CancelFlag {
  public:
    explicit RememberingCancelFlag(platform::CancelFlag& browserFlag) : browserFlag_(browserFlag) {}
    void Set(bool cancel) override {
        answer = cancel;
        browserFlag_.Set(cancel);
    }
    std::optional<bool> answer;

  private:
    platform::CancelFlag& browserFlag_;
};

}  // namespace

std::optional<NewWindowPairs::Paired> NewWindowPairs::Take(
    const std::shared_ptr<const void>& window, NewWindowRequest request) {
    Hear();
    auto paired = answers_.end();
    for (auto answer = answers_.begin(); answer != answers_.end(); ++answer) {
        if (answer->window.get() == window.get() && answer->request != request &&
            (paired == answers_.end() || answer->begun > paired->begun)) {
            paired = answer;
        }
    }
    if (paired == answers_.end()) {
        if (std::find(running_.begin(), running_.end(), window.get()) == running_.end()) {
            std::erase_if(answers_, [&](const Answer& answer) {
                return answer.window.get() == window.get();
            });
        }
        return std::nullopt;
    }
    const Paired found{paired->cancel, paired->recorded};
    answers_.erase(paired);
    return found;
}

std::uint64_t NewWindowPairs::Begin(const void* window) {
    Hear();
    running_.push_back(window);
    return ++begun_;
}

void NewWindowPairs::Record(std::shared_ptr<const void> window, NewWindowRequest request,
                            std::optional<bool> cancel, std::uint64_t begun,
                            std::uint64_t recorded) {
    Hear();  // while this decision still counts as running: a long one forgets nothing
    const auto running = std::find(running_.begin(), running_.end(), window.get());
    if (running != running_.end()) {
        running_.erase(running);
    }
    answers_.push_back(Answer{std::move(window), request, cancel, begun, recorded});
}

void NewWindowPairs::Hear() {
    const auto now = clock_();
    if (running_.empty() && now - heard_ > kPairWindow) {
        answers_.clear();
    }
    heard_ = now;
}

IE_Class::IE_Class(BlockerState& state, NewWindowDecision decide,
                   std::shared_ptr<NewWindowPairs> pairs)
    : state_(state), decide_(std::move(decide)), pairs_(std::move(pairs)) {}

IE_Class::~IE_Class() {
    Detach();
}

bool IE_Class::IEctl(std::shared_ptr<platform::BrowserWindow> browser) {
    Detach();
    if (!browser || weak_from_this().expired()) {
        return false;
    }
    // Set first: a request may already arrive while the connection is being opened (a
    // cross-process call lets the thread take incoming calls).
    IE_ = std::move(browser);
    connection_ = IE_->Connect(weak_from_this());
    if (!connection_) {
        IE_.reset();
        return false;
    }
    return true;
}

void IE_Class::Detach() {
    // The connection first: no event may arrive for a window already let go of.
    connection_.reset();
    IE_.reset();
    pass_.reset();
}

bool IE_Class::Quit() {
    const std::shared_ptr<platform::BrowserWindow> browser = IE_;
    return browser && browser->Quit();
}

std::optional<std::string> IE_Class::LocationURL() {
    const std::shared_ptr<platform::BrowserWindow> browser = IE_;
    return browser ? browser->LocationURL() : std::nullopt;
}

bool IE_Class::OpenPopup(const std::string& url) {
    const std::shared_ptr<platform::BrowserWindow> browser = IE_;
    if (!browser) {
        return false;
    }
    pass_ = Pass{url, pairs_->Now() + kPassWindow};
    if (!browser->NavigateInNewWindow(url)) {
        pass_.reset();
        return false;
    }
    return true;
}

void IE_Class::NewWindow2(platform::CancelFlag& cancel) {
    OnNewWindow(NewWindowRequest::NewWindow2, cancel, {});
}

void IE_Class::NewWindow3(platform::CancelFlag& cancel, const std::string& url) {
    OnNewWindow(NewWindowRequest::NewWindow3, cancel, url);
}

// Other events of the window leave a pending second event paired: a browser may report its
// status between the two events of one request.
void IE_Class::StatusTextChange(const std::string& text) {
    state_.strLinkText = text;
}

void IE_Class::OtherEvent() {}

void IE_Class::OnNewWindow(NewWindowRequest request, platform::CancelFlag& cancel,
                           std::string_view url) {
    // The decision may run the event pump, and a refresh inside it may detach this listener:
    // the local copy keeps the window alive until it returns (the connection holds this object).
    const std::shared_ptr<platform::BrowserWindow> opener = IE_;
    if (!opener || !decide_) {
        return;
    }
    const std::shared_ptr<const void> window = opener->Identity();
    if (pass_ && pairs_->Now() <= pass_->until &&
        (request == NewWindowRequest::NewWindow2 || url == pass_->url)) {
        // The request asked for by OpenPopup: through, once, and its paired event with it.
        pass_.reset();
        cancel.Set(false);
        pairs_->Record(window, request, false, pairs_->Begin(window.get()), 0);
        return;
    }
    if (const std::optional<NewWindowPairs::Paired> paired = pairs_->Take(window, request)) {
        // The same request raised the other way: answered already, so it is neither counted,
        // nor prompted, nor sounded again; NewWindow3 tells the history the popup's address.
        if (paired->cancel) {
            cancel.Set(*paired->cancel);
        }
        state_.history.SetPopupAddress(paired->recorded, url);
        return;
    }
    RememberingCancelFlag remembering(cancel);
    // Recorded however the decision ends and whatever happened meanwhile (a slow prompt, a
    // refresh that rebuilt the listener): the browser raises the other half only now.
    struct Recording {
        NewWindowPairs& pairs;
        const std::shared_ptr<const void>& window;
        NewWindowRequest request;
        const RememberingCancelFlag& remembering;
        std::uint64_t begun;
        std::uint64_t recorded = 0;
        ~Recording() { pairs.Record(window, request, remembering.answer, begun, recorded); }
    } recording{*pairs_, window, request, remembering, pairs_->Begin(window.get())};
    recording.recorded = decide_(*opener, remembering, url);
}

}  // namespace quell
