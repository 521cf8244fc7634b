// The help window: the help document and its "Show at Startup" box.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/Form.h"
#include "platform/WindowZOrder.h"
#include "store/Settings.h"

namespace quell {

class Form8 {
  public:
    Form8(platform::Form& window, Settings& settings, platform::WindowZOrder& zorder,
          std::string programFolder, std::function<bool(const std::string&)> fileExists);

    // Loads and shows the window in front, topmost; nothing when "Help.rtf" is missing.
    std::optional<platform::WindowHandle> Show();
    void OnEvent(const platform::Event& event);
    void Check1_Click();  // "Show at Startup"
    void Close();

    std::string DocumentPath() const;

  private:
    platform::Form& window_;
    Settings& settings_;
    platform::WindowZOrder& zorder_;
    std::string programFolder_;
    std::function<bool(const std::string&)> fileExists_;
    bool loading_ = false;
};

}  // namespace quell
