// What the main window's handlers reach outside the main window itself.
#pragma once

#include <optional>
#include <string>

#include "platform/Form.h"
#include "platform/Result.h"
#include "store/Module1.h"

namespace quell {

// The outcome of a shell or registry change, with the sentence for the status line.
struct StatusReport {
    bool ok = true;
    std::string text;
};

class Form1Services {
  public:
    virtual ~Form1Services() = default;

    // Run at startup (Check4): the Run value named after the product with the program path.
    virtual StatusReport EnableRunAtStartup() = 0;
    virtual StatusReport DisableRunAtStartup() = 0;

    // The browser's Tools-menu entry.
    virtual StatusReport AddToolsEntry() = 0;
    virtual StatusReport RemoveToolsEntry() = 0;

    // Secondary windows, loaded and shown modeless; the handle of the window shown, if any.
    virtual std::optional<platform::WindowHandle> ShowHelp() = 0;
    virtual std::optional<platform::WindowHandle> ShowAbout() = 0;
    virtual std::optional<platform::WindowHandle> ShowBlockedPopups() = 0;
    // Sets the link request to "Website" and loads the website opener.
    virtual void OpenWebsite() = 0;

    // The tray popup menu at the mouse position.
    virtual void ShowTrayMenu() = 0;

    // Unloads the main window: runs the shutdown sequence and ends the program.
    virtual void Exit() = 0;

    // The common file dialog; nothing when the user cancels.
    enum class FileChoice { ExportSiteLists, ImportSiteLists };
    virtual std::optional<std::string> ChooseFile(FileChoice choice) = 0;
    // The list a plain one-site-a-line file goes to; nothing when the user cancels.
    virtual std::optional<SiteList> ChooseImportList() = 0;
    // Files as bytes, whatever their encoding; a write replaces the whole file.
    virtual platform::Result<std::string> ReadFileBytes(const std::string& path) = 0;
    virtual platform::Status WriteFileBytes(const std::string& path, std::string_view bytes) = 0;
};

}  // namespace quell
