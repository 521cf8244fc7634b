#include "platform/win32/App.h"

#include <utility>

#include "blocker/modPlaySound.h"
#include "mainwindow/Module2.h"
#include "mainwindow/PathTests.h"
#include "mainwindow/modIETools.h"
#include "platform/win32/ComSecurity.h"
#include "platform/win32/Pictures.h"
#include "platform/win32/Unicode.h"
#include "resources/Form1Design.h"
#include "resources/Form3Design.h"
#include "resources/ProductInfo.h"
#include "resources/SecondaryDesigns.h"

namespace platform::win32 {
namespace {

constexpr UINT kTrayIconId = 1;
// A main-window timer: the tray tip follows the counter a moment later, once for a storm of
// blocked popups. Under Wine one tip update cost a fifth of a blocked popup's answer.
constexpr int kTrayTipTimer = 31;
constexpr int kTrayTipDelayMs = 250;

}  // namespace

App::App(platform::Status comSecurity) : comSecurity_(std::move(comSecurity)) {
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
    return static_cast<int>(msg.wParam);
}

void App::ShowMainWindow() {
    stage_ = Stage::Loading;
    settings_.emplace(store_, ProductName(), site_.strWebsite);
    if (!form1Window_->Load()) {
        ::ExitProcess(1);  // no main window, nothing to run
    }
    lists_.emplace(state_, form1Window_->List("List1"), form1Window_->List("List2"), files_,
                   programFolder_);
    form1_.emplace(state_, *form1Window_, *settings_, *lists_, zorder_, *this);
    form3_.emplace(state_, *form3Window_, *form1Window_, *lists_, zorder_,
                   [this](const std::string& text) { form1_->SetStatus(text); });
    help_.emplace(*helpWindow_, *settings_, zorder_, programFolder_,
                  [this](const std::string& path) {
                      return quell::xfileExists::FileExists(fileSearch_, path);
                  });
    website_.emplace(*websiteWindow_, site_, version_, shell_);
    about_.emplace(*aboutWindow_, site_, version_, [this] { website_->Load(); });
    decision_.emplace(quell::PopupDecisionContext{
        state_, form1Window_->Check("Check1"), form1Window_->Check("Check2"),
        form1Window_->Check("Check5"), form1Window_->Check("Check6"), *form3_, pump_, sound_,
        quell::modPlaySound::SoundFilePath(programFolder_), nesting_});
    parts_.emplace(
        quell::MainWindowParts{state_, *form1_, *settings_, *lists_, site_, hook_, *this});
    form1Window_->SetEventHandler([this](const Event& event) {
        if (event.kind == EventKind::Timer && event.index == kTrayTipTimer) {
            UpdateTrayTip();
            return;
        }
        quell::OnMainWindowEvent(*parts_, event);
    });

    quell::Form1_Load(*parts_);
    if (tray_) {
        tray_->SetTip(quell::TrayTip(ProductName(), state_.lngBlocked));
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

void App::Decide(WebBrowser& opener, CancelFlag& cancel) {
    const std::int32_t before = state_.lngBlocked;
    quell::PopupDecision(*decision_, opener, cancel);
    if (tray_ && state_.lngBlocked != before && !trayTipDue_) {
        trayTipDue_ = true;
        form1Window_->StartTimer(kTrayTipTimer, kTrayTipDelayMs);
    }
}

void App::UpdateTrayTip() {
    form1Window_->StopTimer(kTrayTipTimer);
    trayTipDue_ = false;
    if (tray_) {
        tray_->SetTip(quell::TrayTip(ProductName(), state_.lngBlocked));
    }
}

quell::StatusReport App::EnableRunAtStartup() {
    const quell::PlacementResult result = VarAddRemove_.AddToRun(ProductName(), programPath_);
    return {result.ok(), quell::RunAtStartupEnabledText(result)};
}

quell::StatusReport App::DisableRunAtStartup() {
    const Status result = VarAddRemove_.RemoveFromRun(ProductName());
    return {result.ok(), quell::RunAtStartupDisabledText(result)};
}

quell::StatusReport App::AddToolsEntry() {
    const quell::PlacementResult result =
        quell::modIETools::AddToolsEntry({registry64_, registry32_}, Location());
    return {result.ok(), quell::modIETools::ToolsEntryAddedText(result)};
}

quell::StatusReport App::RemoveToolsEntry() {
    const Status result = quell::modIETools::RemoveToolsEntry({registry64_, registry32_});
    return {result.ok(), quell::modIETools::ToolsEntryRemovedText(result)};
}

std::optional<WindowHandle> App::ShowHelp() {
    return help_->Show();
}

std::optional<WindowHandle> App::ShowAbout() {
    const WindowHandle shown = about_->Show();
    return shown != 0 ? std::optional<WindowHandle>(shown) : std::nullopt;
}

void App::OpenWebsite() {
    site_.strLinkMode = "Website";
    website_->Load();
}

void App::ShowTrayMenu() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    form1Window_->ShowPopupMenu("Popup", cursor);
}

void App::Exit() {
    quell::Form1_Unload(*parts_);
}

void App::StopGlobalSkin() {
    skin_.StopGlobalSkin();
}

void App::SetWindowIcons() {
    platform::win32::SetWindowIcons(form1Window_->Hwnd(), L"AAA", true);
}

void App::AddTrayIcon() {
    // The tray shows the main window's design icon; its title bar shows "AAA".
    picTrayIcon_.reset(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), L"IDI_FORM1",
                                                       IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                       ::GetSystemMetrics(SM_CYSMICON), 0)));
    tray_ = std::make_unique<Win32Tray>(form1Window_->Hwnd(), kTrayIconId, picTrayIcon_.get(),
                                        [this](int code) { form1_->TrayNotify(code); });
    (void)tray_->Add(quell::TrayTip(ProductName(), state_.lngBlocked));
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
        [this](WebBrowser& opener, CancelFlag& cancel) { Decide(opener, cancel); });
    if (!comSecurity_) {
        form1_->SetStatus(ComSecurityFailedText(comSecurity_.error()));
    }
}

void App::ReleaseTracker() {
    objIEWindows_.reset();
}

bool App::ListFileExists(quell::SiteList list) {
    return quell::fileExists(fileSearch_, lists_->FilePath(list));
}

void App::EndProgram() {
    // At once: the other windows go with the process, without their own unload handlers.
    ::ExitProcess(0);
}

}  // namespace platform::win32
