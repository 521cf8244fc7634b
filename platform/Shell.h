#pragma once

#include <string>

namespace platform {

class Shell {
  public:
    virtual ~Shell() = default;
    // Opens a web address with the user's default browser.
    virtual void OpenAddress(const std::string& address) = 0;
};

}  // namespace platform
