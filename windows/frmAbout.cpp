#include "windows/frmAbout.h"

#include <string>

#include "platform/Bindings.h"
#include "resources/SecondaryDesigns.h"

namespace quell {
namespace {

namespace ctl = design::frmAboutControls;

constexpr platform::Binding<frmAbout> kBindings[] = {
    {ctl::lblWebsite, platform::EventKind::Click, &frmAbout::lblWebsite_Click},
    {platform::kWindow, platform::EventKind::QueryClose, &frmAbout::Close},
};

}  // namespace

frmAbout::frmAbout(platform::Form& window, modSiteLink& site, VersionSource& version,
                   std::function<void()> openWebsite)
    : window_(window), site_(site), version_(version), openWebsite_(std::move(openWebsite)) {}

platform::WindowHandle frmAbout::Show() {
    if (!window_.IsLoaded()) {
        if (!window_.Load()) {
            return 0;
        }
        window_.SetEventHandler([this](const platform::Event& event) { OnEvent(event); });
        const ProductInfo info = version_.Read();
        window_.SetCaption("About " + site_.strProductName);
        window_.Text(ctl::Label1).SetText(info.productName);
        window_.Text(ctl::lblCompany).SetText(info.companyName);
        window_.Text(ctl::lblVersion)
            .SetText(std::to_string(info.versionMajor) + "." + std::to_string(info.versionMinor));
        window_.Text(ctl::lblWebsite).SetText(info.comments);
    }
    window_.BringToFront();
    return window_.Handle();
}

void frmAbout::OnEvent(const platform::Event& event) {
    (void)platform::Dispatch<frmAbout>(kBindings, *this, event);
}

void frmAbout::lblWebsite_Click() {
    site_.strLinkMode = "Website";
    openWebsite_();
}

void frmAbout::Close() {
    window_.Unload();
}

}  // namespace quell
