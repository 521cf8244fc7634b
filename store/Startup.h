// The main window's load sequence, which brings the blocker into service, and its unload
// sequence, which saves the state and ends the program.
#pragma once

#include <optional>
#include <string>

#include "blocker/BlockerState.h"
#include "mainwindow/Form1.h"
#include "platform/HotKey.h"
#include "store/Module1.h"
#include "store/Settings.h"
#include "windows/modSiteLink.h"

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

struct MainWindowParts {
    BlockerState& state;
    Form1& form;
    Settings& settings;
    Module1& lists;
    modSiteLink& site;
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
