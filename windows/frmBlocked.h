// The "Blocked Popups" window's controller: the history shown live, newest first, and its
// five commands.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "blocker/BlockerState.h"
#include "platform/Form.h"
#include "platform/Result.h"

namespace quell {

class BlockedPopupsServices {
  public:
    virtual ~BlockedPopupsServices() = default;
    // The common file dialog for the CSV file; nothing when the user cancels.
    virtual std::optional<std::string> ChooseCsvFile() = 0;
    virtual platform::Status WriteFileBytes(const std::string& path, std::string_view bytes) = 0;
    virtual bool CopyText(const std::string& text) = 0;
    // A message the user must read before going on (a refused address).
    virtual void ShowMessage(const std::string& text) = 0;
    // Opens `url` in a new window of the browser window showing `opener`, letting exactly that
    // request through; false when no tracked browser window could be asked.
    virtual bool OpenPopup(const std::string& opener, const std::string& url) = 0;
};

// Only these addresses are opened: they come from web pages, and a script or a local file
// must not run because the user trusted the list.
bool IsOpenablePopupAddress(std::string_view url);

class frmBlocked {
  public:
    // `addSite` is the main window's Add path for the allowed list.
    frmBlocked(BlockerState& state, platform::Form& window, BlockedPopupsServices& services,
               std::function<void(const std::string& site)> addSite);

    std::optional<platform::WindowHandle> Show();
    // The history changed: new rows go on top, rows of forgotten entries go.
    void HistoryChanged();
    void OnEvent(const platform::Event& event);

    void cmdOpen_Click();
    void cmdAllow_Click();
    void cmdCopy_Click();
    void cmdSave_Click();
    void cmdClear_Click();
    // The close box and Esc.
    void Close();

  private:
    platform::ListView& Rows();
    const BlockedPopup* Selected();
    void Fill();

    BlockerState& state_;
    platform::Form& window_;
    BlockedPopupsServices& services_;
    std::function<void(const std::string&)> addSite_;
    std::uint64_t newestShown_ = 0;
};

}  // namespace quell
