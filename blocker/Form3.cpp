#include "blocker/Form3.h"

#include "platform/Bindings.h"
#include "resources/Form3Design.h"

namespace quell {
namespace {

namespace ctl = design::Form3Controls;
using platform::EventKind;

constexpr platform::Binding<Form3> kBindings[] = {
    {ctl::Command1, EventKind::Click, &Form3::Command1_Click},
    {ctl::Command2, EventKind::Click, &Form3::Command2_Click},
    {ctl::Command3, EventKind::Click, &Form3::Command3_Click},
    {ctl::Command4, EventKind::Click, &Form3::Command4_Click},
    {platform::kWindow, EventKind::EscapeKey, &Form3::Command4_Click},
    {platform::kWindow, EventKind::QueryClose, &Form3::Unload},
};

}  // namespace

Form3::Form3(BlockerState& state, platform::Form& window, const platform::Form& mainWindow,
             Module1& lists, platform::TopmostBand& onTop,
             std::function<void(const std::string&)> reportFailure)
    : blocker_(state),
      window_(window),
      mainWindow_(mainWindow),
      lists_(lists),
      onTop_(onTop),
      reportFailure_(std::move(reportFailure)) {}

void Form3::Load() {
    if (window_.IsLoaded()) {
        return;  // a second question keeps showing the first site
    }
    if (!window_.Load()) {
        // Without a window nobody can answer: end the question as a block, not a hang.
        blocker_.blnPromptDone = true;
        return;
    }
    window_.SetEventHandler([this](const platform::Event& event) { OnEvent(event); });
    if (blocker_.blnOnTop) {
        onTop_.MakeNormal(mainWindow_.Handle());
    }
    window_.Text(ctl::Text1).SetText(blocker_.strPromptSite);
    onTop_.MakeTopMost(window_.Handle());
    if (blocker_.blnOnTop) {
        onTop_.MakeTopMost(mainWindow_.Handle());
    }
}

void Form3::SetVisible(bool visible) {
    if (visible) {
        window_.Show();
    } else {
        window_.Hide();
    }
}

void Form3::Unload() {
    window_.Unload();
    blocker_.blnPromptDone = true;
}

void Form3::OnEvent(const platform::Event& event) {
    (void)platform::Dispatch<Form3>(kBindings, *this, event);
}

void Form3::ReportIfFailed(const platform::Status& status) {
    if (!status && reportFailure_) {
        reportFailure_(status.error().message);
    }
}

void Form3::Command1_Click() {
    const std::string site = window_.Text(ctl::Text1).Text();
    const platform::Status added = lists_.AddAllowed(site);
    ReportIfFailed(added);
    if (added) {
        ReportIfFailed(lists_.SaveAllowed());
    }
    Answer(true, BlockerState::PromptAnswer::Always);
}

void Form3::Command2_Click() {
    ReportIfFailed(lists_.AddDisallowed(window_.Text(ctl::Text1).Text()));
    Answer(false, BlockerState::PromptAnswer::Always);
}

void Form3::Command3_Click() {
    Answer(true, BlockerState::PromptAnswer::Now);
}

void Form3::Command4_Click() {
    Answer(false, BlockerState::PromptAnswer::Now);
}

void Form3::Answer(bool allow, BlockerState::PromptAnswer how) {
    window_.Hide();
    blocker_.blnPromptAllow = allow;
    blocker_.intPromptAnswer = how;
    blocker_.blnPromptDone = true;
    Unload();
}

}  // namespace quell
