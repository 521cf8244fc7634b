#include "mainwindow/Module2.h"

namespace quell {

namespace {

// UTF-16 units of one UTF-8 sequence starting with `lead`: four-byte ones need a pair.
std::size_t Units(unsigned char lead) {
    return (lead & 0xC0) == 0x80 ? 0 : lead >= 0xF0 ? 2 : 1;
}

// The longest prefix of `text` that fits `room` units, cut on a character boundary.
std::string_view Fit(std::string_view text, std::size_t room, bool& cut) {
    std::size_t used = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t units = Units(static_cast<unsigned char>(text[i]));
        if (units > 0 && used + units > room) {
            cut = true;
            return text.substr(0, i);
        }
        used += units;
    }
    cut = false;
    return text;
}

}  // namespace

void TrayNotify(Form1Services& services, int mouseMessage) {
    if (OpensTrayMenu(mouseMessage)) {
        services.ShowTrayMenu();
    }
}

std::string TrayTip(const std::string& productName, std::int32_t blocked,
                    std::string_view lastSite) {
    std::string tip = productName + " - " + std::to_string(blocked) +
                      (blocked == 1 ? " popup blocked" : " popups blocked");
    bool cut = false;
    tip = std::string(Fit(tip, kTrayTipUnits, cut));
    if (lastSite.empty() || cut) {
        return tip;
    }
    constexpr std::string_view kLast = ", last: ";
    constexpr std::string_view kEllipsis = "\xE2\x80\xA6";
    const std::size_t used = tip.size() + kLast.size();  // both ASCII here up to the site
    if (used + 1 >= kTrayTipUnits) {
        return tip;
    }
    std::string_view site = Fit(lastSite, kTrayTipUnits - used, cut);
    if (cut) {
        site = Fit(lastSite, kTrayTipUnits - used - 1, cut);
    }
    tip += kLast;
    tip += site;
    if (cut) {
        tip += kEllipsis;
    }
    return tip;
}

}  // namespace quell
