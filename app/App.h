// The program assembled: the Windows implementations wired to the portable core, from the
// splash to the end of the process.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "app/Form1Startup.h"
#include "blocker/BlockerState.h"
#include "blocker/Form3.h"
#include "blocker/PopupDecision.h"
#include "blocker/cIEWindows.h"
#include "mainwindow/AddRemove.h"
#include "mainwindow/Form1.h"
#include "mainwindow/clsOnTop.h"
#include "mainwindow/modIETools.h"
#include "platform/win32/CallTimeout.h"
#include "platform/win32/DesignedWindow.h"
#include "platform/win32/ProgramInfo.h"
#include "platform/win32/ShellWindowsAutomation.h"
#include "platform/win32/SingleInstance.h"
#include "platform/win32/StandInShellWindows.h"
#include "platform/win32/Tray.h"
#include "platform/win32/Win32EventPump.h"
#include "platform/win32/Win32FileSearch.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SettingsStore.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32Sound.h"
#include "platform/win32/Win32TextFiles.h"
#include "platform/win32/Win32Toolkit.h"
#include "platform/win32/Win32WindowZOrder.h"
#include "platform/win32/modHook.h"
#include "store/Module1.h"
#include "store/Settings.h"
#include "store/Startup.h"
#include "windows/Form8.h"
#include "windows/frmAbout.h"
#include "windows/frmBlocked.h"
#include "windows/frmSplash.h"
#include "windows/frmWebsite.h"
#include "windows/modSiteLink.h"
#include "windows/modSkin.h"

namespace app {

// The root wires the Windows implementations, and only it.
using namespace platform;
using namespace platform::win32;

class App final : public quell::Form1Services,
                  public quell::StartupServices,
                  public quell::BlockedPopupsServices {
  public:
    // `comSecurity`: how setting the process's COM security went; a failure is reported on the
    // status line once the tracker runs.
    explicit App(platform::Status comSecurity);
    ~App() override;
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Shows the splash and runs the message loop until the program ends.
    int Run();

    // Form1Services
    quell::StatusReport EnableRunAtStartup() override;
    quell::StatusReport DisableRunAtStartup() override;
    quell::StatusReport AddToolsEntry() override;
    quell::StatusReport RemoveToolsEntry() override;
    std::optional<WindowHandle> ShowHelp() override;
    std::optional<WindowHandle> ShowAbout() override;
    void OpenWebsite() override;
    void ShowTrayMenu() override;
    void Exit() override;
    std::optional<std::string> ChooseFile(FileChoice choice) override;
    std::optional<quell::SiteList> ChooseImportList() override;
    platform::Result<std::string> ReadFileBytes(const std::string& path) override;
    platform::Status WriteFileBytes(const std::string& path, std::string_view bytes) override;
    std::optional<WindowHandle> ShowBlockedPopups() override;

    // BlockedPopupsServices
    std::optional<std::string> ChooseCsvFile() override;
    bool CopyText(const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    bool OpenPopup(const std::string& opener, const std::string& url) override;

    // StartupServices
    void StopGlobalSkin() override;
    void SetWindowIcons() override;
    void AddTrayIcon() override;
    void RemoveTrayIcon() override;
    void CreateTracker() override;
    void ReleaseTracker() override;
    bool ListFileExists(quell::SiteList list) override;
    void EndProgram() override;

  private:
    // The splash's hand-over: loads the main window (its load sequence runs) and shows it.
    void ShowMainWindow();
    // Requests of a later start and of the installer (see SingleInstance.h). Before the main
    // window has loaded, a show request waits for the load; a close request ends the program
    // at once on the splash, where nothing is to be saved, and after the load while loading.
    void OnShowRequest();
    void OnCloseRequest();
    void BringMainWindowForward();
    std::uint64_t Decide(platform::WebBrowser& opener, CancelFlag& cancel,
                         std::string_view popupUrl);
    // On the status line, and where the user looks while the main window is hidden: a tray
    // balloon, or the main window itself when there is no icon.
    void ReportFailure(const std::string& text);
    void UpdateTrayTip();
    std::string ProductName() const;
    std::string TrayTipText() const;
    // The Blocked Popups window and the tray tip after the history changed.
    void ShowHistoryChange();
    quell::modIETools::ProgramLocation Location() const;

    platform::Status comSecurity_;
    CallTimeout callTimeout_;
    std::string programFolder_ = ProgramFolder();
    std::string programPath_ = ProgramPath();

    Win32Toolkit toolkit_;
    Win32EventPump pump_;
    Win32TextFiles files_;
    Win32Sound sound_;
    Win32SettingsStore store_;
    Win32Registry registry_;  // the native view, where the Run value lives
    Win32Registry registry64_{platform::RegistryView::Bits64};
    Win32Registry registry32_{platform::RegistryView::Bits32};
    Win32FileSearch fileSearch_;
    Win32WindowZOrder zorder_;
    Win32VersionSource version_;
    Win32Shell shell_;
    Win32SkinPlatform skinPlatform_;
    modHook hook_;
    // Under Wine, where the system's list of browser windows is not implemented, the stand-in
    // browser's serves.
    ShellWindowsAutomation automation_{{.system = {}, .standIn = StandInShellWindows()}};

    quell::BlockerState state_;
    quell::modSiteLink site_;
    quell::modSkin skin_{skinPlatform_};
    quell::AddRemove VarAddRemove_{registry_};
    quell::clsOnTop promptOnTop_{zorder_};

    std::unique_ptr<DesignedWindow> splashWindow_;
    std::unique_ptr<DesignedWindow> form1Window_;
    std::unique_ptr<DesignedWindow> form3Window_;
    std::unique_ptr<DesignedWindow> helpWindow_;
    std::unique_ptr<DesignedWindow> aboutWindow_;
    std::unique_ptr<DesignedWindow> websiteWindow_;
    std::unique_ptr<DesignedWindow> blockedWindow_;

    std::optional<quell::frmSplash> splash_;
    std::optional<quell::Settings> settings_;
    std::optional<quell::Module1> lists_;
    std::optional<quell::Form1> form1_;
    std::optional<app::Form1Startup> form1Startup_;
    std::optional<quell::Form3> form3_;
    std::optional<quell::Form8> help_;
    std::optional<quell::frmAbout> about_;
    std::optional<quell::frmWebsite> website_;
    std::optional<quell::frmBlocked> blocked_;
    quell::DecisionNesting nesting_;
    std::optional<quell::PopupDecisionContext> decision_;
    std::optional<quell::MainWindowParts> parts_;

    enum class Stage { Splash, Loading, Running };
    Stage stage_ = Stage::Splash;
    bool showWhenLoaded_ = false;
    bool closeWhenLoaded_ = false;
    std::optional<InstanceWindow> instance_;

    int deciding_ = 0;             // decisions running, nested ones included
    bool historyChanged_ = false;  // while one ran
    std::unique_ptr<Win32Tray> tray_;
    bool trayTipDue_ = false;  // the counter changed; the timer updates the tip
    std::unique_ptr<quell::cIEWindows> objIEWindows_;
};

}  // namespace app
