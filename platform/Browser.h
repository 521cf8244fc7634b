// One browser window as the popup decision sees it.
#pragma once

#include <optional>
#include <string>

namespace platform {

class WebBrowser {
  public:
    virtual ~WebBrowser() = default;
    // The address of the page shown; nothing when the browser can't be asked.
    virtual std::optional<std::string> LocationURL() = 0;
};

// The in/out Cancel argument of a new-window request.
class CancelFlag {
  public:
    virtual ~CancelFlag() = default;
    virtual void Set(bool cancel) = 0;
};

}  // namespace platform
