#include "windows/frmWebsite.h"

#include "blocker/TextCompare.h"

namespace quell {

std::optional<std::string> WebsiteAddress(const std::string& website) {
    std::string address = website;
    if (!ContainsIgnoreCase(website, "https://") && !ContainsIgnoreCase(website, "http://")) {
        address = "http://" + address;
    }
    if (!StartsWithIgnoreAsciiCase(address, "http://") &&
        !StartsWithIgnoreAsciiCase(address, "https://")) {
        return std::nullopt;
    }
    return address;
}

frmWebsite::frmWebsite(platform::Form& window, modSiteLink& site, VersionSource& version,
                       platform::Shell& shell)
    : window_(window), site_(site), version_(version), shell_(shell) {}

void frmWebsite::Load() {
    if (window_.IsLoaded() || !window_.Load()) {
        return;
    }
    window_.SetEventHandler([this](const platform::Event& event) { OnEvent(event); });
    window_.StartTimer(kTimer1, 1000);
    site_.LoadSiteInfo(version_);
    if (site_.strLinkMode != "Website") {
        return;
    }
    if (const std::optional<std::string> address = WebsiteAddress(site_.strWebsite)) {
        shell_.OpenAddress(*address);
    }
    site_.strLinkMode.clear();
}

void frmWebsite::OnEvent(const platform::Event& event) {
    if (event.kind == platform::EventKind::Timer && event.index == kTimer1) {
        window_.StopTimer(kTimer1);
        window_.Unload();
    }
}

}  // namespace quell
