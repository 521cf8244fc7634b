// The main window's load sequence, which brings the blocker into service, and its unload
// sequence, which saves the state and ends the program.
#pragma once

#include <optional>
#include <string>

#include "blocker/BlockerState.h"
#include "platform/Form.h"
#include "platform/HotKey.h"
#include "platform/WindowZOrder.h"
#include "store/Module1.h"
#include "store/Settings.h"

namespace quell {

// The steps that other parts of the program provide.
class StartupServices {
  public:
    virtual ~StartupServices() = default;
    virtual void StopGlobalSkin() = 0;
    virtual void SetWindowIcons() = 0;
    virtual void AddTrayIcon() = 0;
    virtual void RemoveTrayIcon() = 0;
    // Lets go of any tracker, then creates a new one: from then on popups are decided.
    virtual void CreateTracker() = 0;
    virtual void ReleaseTracker() = 0;
    // Loads and shows the help window; its handle when it was shown.
    virtual std::optional<platform::WindowHandle> ShowHelp() = 0;
    virtual bool ListFileExists(SiteList list) = 0;
    // Ends the process at once, closing every other window.
    virtual void EndProgram() = 0;
};

// The main window's controller as the load and unload sequences reach it.
class MainWindowForm {
  public:
    virtual ~MainWindowForm() = default;
    virtual platform::Form& window() = 0;
    // The status line.
    virtual void SetStatus(const std::string& text) = 0;
    // "up" or "down".
    virtual const std::string& state() const = 0;
    virtual void set_state(std::string value) = 0;
    // Hides a minimised window into the tray ("down").
    virtual void Form_Resize() = 0;
    // The always-on-top object.
    virtual platform::TopmostBand& onTop() = 0;
    // Every event the load and unload sequences leave to the window's own handlers.
    virtual void OnEvent(const platform::Event& event) = 0;
};

// The product information, read from the program's version information before the load.
struct ProductNames {
    const std::string& productName;
    const std::string& companyName;
    const std::string& website;
};

struct MainWindowParts {
    BlockerState& state;
    MainWindowForm& form;
    Settings& settings;
    Module1& lists;
    ProductNames product;
    platform::HotKeyHook& hotKey;
    StartupServices& services;
};

inline constexpr std::string_view kBlockedSuffix = " Popups blocked to date";

void Form1_Load(MainWindowParts& parts);

// Unload step 1; also run when Windows ends the session, so nothing is lost at logoff.
void SaveSettingsOnShutdown(MainWindowParts& parts);

void Form1_Unload(MainWindowParts& parts);

// Every event of the main window: the session's end saves what an orderly exit would save,
// the list-load timer reads again a list file that could not be read; everything else is the
// window's own.
void OnMainWindowEvent(MainWindowParts& parts, const platform::Event& event);

}  // namespace quell
