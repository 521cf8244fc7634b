// The setup-mode prompt: shows the site, records the user's answer in BlockerState, and
// extends the lists for the "Always" answers.
#pragma once

#include <functional>
#include <string>

#include "blocker/BlockerState.h"
#include "blocker/PromptWindow.h"
#include "platform/Form.h"
#include "platform/WindowZOrder.h"
#include "store/Module1.h"

namespace quell {

class Form3 final : public PromptWindow {
  public:
    // `mainWindow` is kept in the topmost band (`onTop`) around the prompt when it is on top;
    // `reportFailure` shows a list-file failure on the main window's status line.
    Form3(BlockerState& state, platform::Form& window, const platform::Form& mainWindow,
          Module1& lists, platform::TopmostBand& onTop,
          std::function<void(const std::string&)> reportFailure);

    void Load() override;
    void Show() override { window_.Show(); }
    void SetVisible(bool visible) override;

    // Unloading, for whatever reason, ends the question; the answer stays as it is.
    void Unload();

    void OnEvent(const platform::Event& event);

    void Command1_Click();  // Allow Always
    void Command2_Click();  // Block Always
    void Command3_Click();  // Allow Now
    void Command4_Click();  // Block Now

  private:
    void Answer(bool allow, BlockerState::PromptAnswer how);
    void ReportIfFailed(const platform::Status& status);

    BlockerState& blocker_;
    platform::Form& window_;
    const platform::Form& mainWindow_;
    Module1& lists_;
    platform::TopmostBand& onTop_;
    std::function<void(const std::string&)> reportFailure_;
};

}  // namespace quell
