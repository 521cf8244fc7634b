#include "windows/frmSplash.h"

namespace quell {

frmSplash::frmSplash(platform::Form& window, modSiteLink& site, VersionSource& version,
                     std::function<void()> showMainWindow)
    : window_(window), site_(site), version_(version), showMainWindow_(std::move(showMainWindow)) {}

void frmSplash::Load() {
    if (!window_.Load()) {
        return;
    }
    window_.SetEventHandler([this](const platform::Event& event) { OnEvent(event); });
    site_.LoadSiteInfo(version_);
    window_.StartTimer(kTimer2, kTickMilliseconds);
    window_.Show();
}

void frmSplash::OnEvent(const platform::Event& event) {
    if (event.kind == platform::EventKind::Timer && event.index == kTimer2) {
        Timer2_Timer();
    }
}

void frmSplash::Timer2_Timer() {
    intTemp = static_cast<std::int16_t>(intTemp + 2);
    if (intTemp != 150) {
        return;
    }
    window_.StopTimer(kTimer2);
    showMainWindow_();
    window_.Hide();  // after the main window is up: never a moment without a window
}

}  // namespace quell
