// The hidden link opener: loading it opens the publisher's website in the default browser;
// it unloads itself a second later, and a request within that second waits for the next load.
#pragma once

#include <optional>
#include <string>

#include "platform/Form.h"
#include "platform/Shell.h"
#include "windows/modSiteLink.h"

namespace quell {

// The address handed to the shell for a website text: "http://" put in front when neither
// scheme appears anywhere in it. Nothing when the result is not an http or https address, so
// that a crafted version text cannot make the shell run a program.
std::optional<std::string> WebsiteAddress(const std::string& website);

class frmWebsite {
  public:
    static constexpr int kTimer1 = 1;

    frmWebsite(platform::Form& window, modSiteLink& site, VersionSource& version,
               platform::Shell& shell);

    void Load();
    void OnEvent(const platform::Event& event);

  private:
    platform::Form& window_;
    modSiteLink& site_;
    VersionSource& version_;
    platform::Shell& shell_;
};

}  // namespace quell
