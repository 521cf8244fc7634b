// The about window: product name, version, owner and a clickable website line.
#pragma once

#include <functional>

#include "platform/Form.h"
#include "windows/modSiteLink.h"

namespace quell {

class frmAbout {
  public:
    // `openWebsite` loads the link opener (the request is set here first).
    frmAbout(platform::Form& window, modSiteLink& site, VersionSource& version,
             std::function<void()> openWebsite);

    // Loads (reading the values again) and shows the window in front; its handle.
    platform::WindowHandle Show();
    void OnEvent(const platform::Event& event);
    void lblWebsite_Click();
    void Close();

  private:
    platform::Form& window_;
    modSiteLink& site_;
    VersionSource& version_;
    std::function<void()> openWebsite_;
};

}  // namespace quell
