// The program assembled: the Windows implementations wired to the portable core, from the
// splash to the end of the process.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "blocker/BlockerState.h"
#include "blocker/Form3.h"
#include "blocker/PopupDecision.h"
#include "blocker/cIEWindows.h"
#include "mainwindow/AddRemove.h"
#include "mainwindow/Form1.h"
#include "mainwindow/modIETools.h"
#include "platform/win32/DesignedWindow.h"
#include "platform/win32/ProgramInfo.h"
#include "platform/win32/ShellWindowsAutomation.h"
#include "platform/win32/SingleInstance.h"
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
#include "windows/frmSplash.h"
#include "windows/frmWebsite.h"
#include "windows/modSiteLink.h"
#include "windows/modSkin.h"

namespace platform::win32 {

class App final : public quell::Form1Services, public quell::StartupServices {
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
    void Decide(WebBrowser& opener, CancelFlag& cancel);
    void UpdateTrayTip();
    std::string ProductName() const;
    quell::modIETools::ProgramLocation Location() const;

    platform::Status comSecurity_;
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
    ShellWindowsAutomation automation_;

    quell::BlockerState state_;
    quell::modSiteLink site_;
    quell::modSkin skin_{skinPlatform_};
    quell::AddRemove VarAddRemove_{registry_};

    std::unique_ptr<DesignedWindow> splashWindow_;
    std::unique_ptr<DesignedWindow> form1Window_;
    std::unique_ptr<DesignedWindow> form3Window_;
    std::unique_ptr<DesignedWindow> helpWindow_;
    std::unique_ptr<DesignedWindow> aboutWindow_;
    std::unique_ptr<DesignedWindow> websiteWindow_;

    std::optional<quell::frmSplash> splash_;
    std::optional<quell::Settings> settings_;
    std::optional<quell::Module1> lists_;
    std::optional<quell::Form1> form1_;
    std::optional<quell::Form3> form3_;
    std::optional<quell::Form8> help_;
    std::optional<quell::frmAbout> about_;
    std::optional<quell::frmWebsite> website_;
    quell::DecisionNesting nesting_;
    std::optional<quell::PopupDecisionContext> decision_;
    std::optional<quell::MainWindowParts> parts_;

    enum class Stage { Splash, Loading, Running };
    Stage stage_ = Stage::Splash;
    bool showWhenLoaded_ = false;
    bool closeWhenLoaded_ = false;
    std::optional<InstanceWindow> instance_;

    UniqueIcon picTrayIcon_;
    std::unique_ptr<Win32Tray> tray_;
    bool trayTipDue_ = false;  // the counter changed; the timer updates the tip
    std::unique_ptr<quell::cIEWindows> objIEWindows_;
};

}  // namespace platform::win32
