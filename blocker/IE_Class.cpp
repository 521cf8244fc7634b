#include "blocker/IE_Class.h"

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

IE_Class::IE_Class(BlockerState& state, NewWindowDecision decide, Clock clock)
    : state_(state), decide_(std::move(decide)), clock_(std::move(clock)) {}

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
    lastAnswer_.reset();
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
    pass_ = Pass{url, clock_() + kPassWindow};
    if (!browser->NavigateInNewWindow(url)) {
        pass_.reset();
        return false;
    }
    return true;
}

void IE_Class::NewWindow2(platform::CancelFlag& cancel) {
    OnNewWindow(Request::NewWindow2, cancel, {});
}

void IE_Class::NewWindow3(platform::CancelFlag& cancel, const std::string& url) {
    OnNewWindow(Request::NewWindow3, cancel, url);
}

void IE_Class::StatusTextChange(const std::string& text) {
    lastAnswer_.reset();
    state_.strLinkText = text;
}

void IE_Class::OtherEvent() {
    lastAnswer_.reset();
}

void IE_Class::OnNewWindow(Request request, platform::CancelFlag& cancel, std::string_view url) {
    if (pass_ && clock_() <= pass_->until &&
        (request == Request::NewWindow2 || url == pass_->url)) {
        // The request asked for by OpenPopup: through, once, and its paired event with it.
        pass_.reset();
        cancel.Set(false);
        lastAnswer_ = Answer{request, false, clock_(), 0};
        return;
    }
    const std::optional<Answer> previous = std::exchange(lastAnswer_, std::nullopt);
    if (previous && previous->request != request && clock_() - previous->decided <= kPairWindow) {
        // The same request raised the other way: answered already, so it is neither counted,
        // nor prompted, nor sounded again.
        if (previous->cancel) {
            cancel.Set(*previous->cancel);
        }
        state_.history.SetPopupAddress(previous->recorded, url);
        return;
    }
    // The decision may run the event pump, and a refresh inside it may detach this listener:
    // the local copy keeps the window alive until it returns (the connection holds this object).
    const std::shared_ptr<platform::BrowserWindow> opener = IE_;
    if (!opener || !decide_) {
        return;
    }
    RememberingCancelFlag remembering(cancel);
    const std::uint64_t recorded = decide_(*opener, remembering, url);
    if (IE_ == opener) {
        lastAnswer_ = Answer{request, remembering.answer, clock_(), recorded};
    }
}

}  // namespace quell
