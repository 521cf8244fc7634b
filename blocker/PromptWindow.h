#pragma once

namespace quell {

// The setup-mode prompt as the popup decision drives it. Loading an already loaded prompt
// does nothing, so a second question keeps showing the first site.
class PromptWindow {
  public:
    virtual ~PromptWindow() = default;
    virtual void Load() = 0;  // fills the site box from strPromptSite
    virtual void Show() = 0;  // modeless
    virtual void SetVisible(bool visible) = 0;
};

}  // namespace quell
