#include "app/App.h"

#include <thread>
#include <utility>

#include "blocker/modPlaySound.h"
#include "mainwindow/Module2.h"
#include "mainwindow/PathTests.h"
#include "mainwindow/modIETools.h"
#include "platform/win32/ComSecurity.h"
#include "platform/win32/Pictures.h"
#include "platform/win32/Unicode.h"
#include "resources/BlockedDesign.h"
#include "resources/Form1Design.h"
#include "resources/Form3Design.h"
#include "resources/ProductInfo.h"
#include "resources/SecondaryDesigns.h"

namespace app {
namespace {

constexpr UINT kTrayIconId = 1;
// A browser that has not answered a call in this long is taken for hung; at the exit, where
// every listener lets go of its window in turn, nothing waits long on any of them.
constexpr DWORD kBrowserCallTimeoutMs = 3000;
constexpr DWORD kExitCallTimeoutMs = 300;
// Wine logs the filter's cancel and goes on waiting: the exit's last resort.
constexpr DWORD kExitWatchdogMs = 3000;
constexpr const char* kTrackerNotWatchingText =
    "Could not watch the browser windows; trying again every few seconds.";
// A main-window timer: the tray tip follows the counter a moment later, once for a storm of
// blocked popups. Under Wine one tip update cost a fifth of a blocked popup's answer.
constexpr int kTrayTipTimer = 31;
constexpr int kTrayTipDelayMs = 250;

}  // namespace

App::App(platform::Status comSecurity)
    : comSecurity_(std::move(comSecurity)), callTimeout_(kBrowserCallTimeoutMs) {
    pump_.preTranslate = &PreTranslateMessage;
    toolkit_.RegisterPainter("splash", [this](HDC dc, const RECT& client, UINT dpi) {
        const quell::ProductInfo info = version_.Read();
        PaintSplash(dc, client, dpi, Widen(ProductName()),
                    std::to_wstring(info.versionMajor) + L"." + std::to_wstring(info.versionMinor));
    });
    toolkit_.RegisterPainter("aboutBanner", &PaintAboutBanner);

    splashWindow_ = toolkit_.CreateDesignedWindow(quell::design::kSplashDesign);
    form1Window_ = toolkit_.CreateDesignedWindow(quell::design::kForm1Design);
    form3Window_ = toolkit_.CreateDesignedWindow(quell::design::kForm3Design);
    helpWindow_ = toolkit_.CreateDesignedWindow(quell::design::kHelpDesign);
    aboutWindow_ = toolkit_.CreateDesignedWindow(quell::design::kAboutDesign);
    websiteWindow_ = toolkit_.CreateDesignedWindow(quell::design::kWebsiteDesign);
    blockedWindow_ = toolkit_.CreateDesignedWindow(quell::design::kBlockedDesign);
}

App::~App() = default;

std::string App::ProductName() const {
    // A program without its version information still keeps its settings somewhere sane.
    return site_.strProductName.empty() ? std::string(QUELL_PRODUCT_NAME) : site_.strProductName;
}

quell::modIETools::ProgramLocation App::Location() const {
    return {ProductName(), programFolder_, programPath_};
}

int App::Run() {
    instance_.emplace([this] { OnShowRequest(); }, [this] { OnCloseRequest(); });
    splash_.emplace(*splashWindow_, site_, version_, [this] { ShowMainWindow(); });
    splash_->Load();
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (PreTranslateMessage(msg)) {
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (stage_ == Stage::Running) {
        // A quit from outside (posted by another program, or seen by a prompt's wait) ends the
        // program as File > Exit does: settings saved, the tray icon and listeners let go.
        Exit();
    }
    return static_cast<int>(msg.wParam);
}

void App::ReportFailure(const std::string& text) {
    form1_->SetStatus(text);
    const HWND window = form1Window_->Hwnd();
    if (::IsWindowVisible(window) && !::IsIconic(window)) {
        return;
    }
    // Nobody reads the status line of a hidden window.
    if (!tray_ || !tray_->ShowBalloon(ProductName(), text)) {
        form1_->ShowProgram();
    }
}

void App::ShowMainWindow() {
    stage_ = Stage::Loading;
    settings_.emplace(store_, ProductName(), site_.strWebsite);
    if (!form1Window_->Load()) {
        ::ExitProcess(1);  // no main window, nothing to run
    }
    lists_.emplace(state_, form1Window_->List(quell::design::Form1Controls::List1),
                   form1Window_->List(quell::design::Form1Controls::List2), files_, programFolder_);
    form1_.emplace(state_, *form1Window_, *settings_, *lists_, zorder_, *this);
    form3_.emplace(state_, *form3Window_, *form1Window_, *lists_, promptOnTop_,
                   [this](const std::string& text) { ReportFailure(text); });
    help_.emplace(*helpWindow_, *settings_, zorder_, programFolder_,
                  [this](const std::string& path) {
                      return quell::xfileExists::FileExists(fileSearch_, path);
                  });
    website_.emplace(*websiteWindow_, site_, version_, shell_);
    about_.emplace(*aboutWindow_, site_, version_, [this] { website_->Load(); });
    blocked_.emplace(state_, *blockedWindow_, *this,
                     [this](const std::string& site) { form1_->AllowSite(site); });
    state_.history.SetListener([this] {
        // Inside a decision the browser waits for its answer: the window and the tip follow
        // once it has it.
        if (deciding_ > 0) {
            historyChanged_ = true;
        } else {
            ShowHistoryChange();
        }
    });
    decision_.emplace(quell::PopupDecisionContext{
        state_, form1Window_->Check(quell::design::Form1Controls::Check1),
        form1Window_->Check(quell::design::Form1Controls::Check2),
        form1Window_->Check(quell::design::Form1Controls::Check5),
        form1Window_->Check(quell::design::Form1Controls::Check6), *form3_, pump_, sound_,
        quell::modPlaySound::SoundFilePath(programFolder_), nesting_});
    form1Startup_.emplace(*form1_);
    parts_.emplace(quell::MainWindowParts{state_, *form1Startup_, *settings_, *lists_,
                                          app::ProductNamesOf(site_), hook_, *this});
    form1Window_->SetEventHandler([this](const Event& event) {
        if (event.kind == EventKind::Timer && event.index == kTrayTipTimer) {
            UpdateTrayTip();
            return;
        }
        quell::OnMainWindowEvent(*parts_, event);
    });

    quell::Form1_Load(*parts_);
    if (tray_) {
        tray_->SetTip(TrayTipText());
    }
    if (form1_->state() == "up") {
        form1Window_->Show();
    }
    stage_ = Stage::Running;
    if (closeWhenLoaded_) {
        Exit();
    } else if (showWhenLoaded_) {
        BringMainWindowForward();
    }
}

void App::OnShowRequest() {
    if (stage_ == Stage::Running) {
        BringMainWindowForward();
    } else {
        showWhenLoaded_ = true;
    }
}

void App::OnCloseRequest() {
    switch (stage_) {
        case Stage::Splash:
            EndProgram();
            break;
        case Stage::Loading:
            closeWhenLoaded_ = true;
            break;
        case Stage::Running:
            Exit();
            break;
    }
}

void App::BringMainWindowForward() {
    const HWND window = form1Window_->Hwnd();
    // "Show program", as from the tray menu, when hidden or minimised; a shown window keeps
    // its size (a maximised one stays maximised).
    if (!::IsWindowVisible(window) || ::IsIconic(window)) {
        form1_->ShowProgram();
    }
    ::SetForegroundWindow(window);
}

std::string App::TrayTipText() const {
    const quell::BlockedHistory& history = state_.history;
    return quell::TrayTip(ProductName(), state_.lngBlocked,
                          history.Size() > 0 ? history.Newest(0).site : std::string());
}

std::uint64_t App::Decide(platform::WebBrowser& opener, CancelFlag& cancel,
                          std::string_view popupUrl) {
    ++deciding_;
    const std::uint64_t recorded = quell::PopupDecision(*decision_, opener, cancel, popupUrl);
    --deciding_;
    if (std::exchange(historyChanged_, false)) {
        ShowHistoryChange();
    }
    return recorded;
}

void App::ShowHistoryChange() {
    blocked_->HistoryChanged();
    if (tray_ && !trayTipDue_) {
        trayTipDue_ = true;
        form1Window_->StartTimer(kTrayTipTimer, kTrayTipDelayMs);
    }
}

void App::UpdateTrayTip() {
    form1Window_->StopTimer(kTrayTipTimer);
    trayTipDue_ = false;
    if (tray_) {
        tray_->SetTip(TrayTipText());
    }
}

void App::StopGlobalSkin() {
    skin_.StopGlobalSkin();
}

void App::SetWindowIcons() {
    platform::win32::SetWindowIcons(*form1Window_, "AAA", true);
}

void App::AddTrayIcon() {
    // The tray shows the main window's design icon; its title bar shows "AAA".
    // Still no icon after a while (no shell, or one that keeps refusing): a program started
    // hidden in the tray would be out of reach, so the main window shows.
    tray_ = std::make_unique<Win32Tray>(
        form1Window_->Hwnd(), kTrayIconId, ::GetModuleHandleW(nullptr), L"IDI_FORM1",
        [this](int code) { quell::TrayNotify(*this, code); },
        [this] {
            if (!::IsWindowVisible(form1Window_->Hwnd())) {
                form1_->ShowProgram();
            }
        });
    (void)tray_->Add(TrayTipText());
}

void App::RemoveTrayIcon() {
    if (tray_) {
        tray_->Remove();
    }
}

void App::CreateTracker() {
    objIEWindows_.reset();
    objIEWindows_ = std::make_unique<quell::cIEWindows>(
        automation_, state_,
        [this](platform::WebBrowser& opener, CancelFlag& cancel, std::string_view popupUrl) {
            return Decide(opener, cancel, popupUrl);
        });
    if (!comSecurity_) {
        form1_->SetStatus(ComSecurityFailedText(comSecurity_.error()));
    }
    if (!objIEWindows_->Watching()) {
        ReportFailure(kTrackerNotWatchingText);
    }
}

void App::ReleaseTracker() {
    callTimeout_.Set(kExitCallTimeoutMs);
    // Everything is saved by now, and the process ends right after this: a browser that does
    // not answer the listeners' goodbyes must not keep it running.
    std::thread([] {
        ::Sleep(kExitWatchdogMs);
        ::TerminateProcess(::GetCurrentProcess(), 0);
    }).detach();
    objIEWindows_.reset();
}

bool App::ListFileExists(quell::SiteList list) {
    return quell::fileExists(fileSearch_, lists_->FilePath(list));
}

void App::EndProgram() {
    // At once: the other windows go with the process, without their own unload handlers.
    ::ExitProcess(0);
}

}  // namespace app
