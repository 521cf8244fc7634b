#include "windows/frmAbout.h"

#include <string>

namespace quell {

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
        window_.Text("Label1").SetText(info.productName);
        window_.Text("lblCompany").SetText(info.companyName);
        window_.Text("lblVersion")
            .SetText(std::to_string(info.versionMajor) + "." + std::to_string(info.versionMinor));
        window_.Text("lblWebsite").SetText(info.comments);
    }
    window_.BringToFront();
    return window_.Handle();
}

void frmAbout::OnEvent(const platform::Event& event) {
    if (event.kind == platform::EventKind::Click && event.control == "lblWebsite") {
        site_.strLinkMode = "Website";
        openWebsite_();
    } else if (event.kind == platform::EventKind::QueryClose) {
        window_.Unload();
    }
}

}  // namespace quell
