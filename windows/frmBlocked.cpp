#include "windows/frmBlocked.h"

#include <array>

#include "blocker/TextCompare.h"
#include "platform/Bindings.h"
#include "resources/BlockedDesign.h"

namespace quell {
namespace {

namespace ctl = design::frmBlockedControls;
using platform::EventKind;

constexpr platform::Binding<frmBlocked> kBindings[] = {
    {platform::kWindow, EventKind::QueryClose, &frmBlocked::Close},
    {platform::kWindow, EventKind::EscapeKey, &frmBlocked::Close},
    {ctl::cmdOpen, EventKind::Click, &frmBlocked::cmdOpen_Click},
    {ctl::cmdAllow, EventKind::Click, &frmBlocked::cmdAllow_Click},
    {ctl::cmdCopy, EventKind::Click, &frmBlocked::cmdCopy_Click},
    {ctl::cmdSave, EventKind::Click, &frmBlocked::cmdSave_Click},
    {ctl::cmdClear, EventKind::Click, &frmBlocked::cmdClear_Click},
};

std::array<std::string, 4> Cells(const BlockedPopup& entry) {
    return {FormatLocalTime(entry.time), entry.site, entry.popup,
            std::string(ReasonText(entry.reason))};
}

}  // namespace

bool IsOpenablePopupAddress(std::string_view url) {
    std::string_view rest;
    if (StartsWithIgnoreAsciiCase(url, "http://")) {
        rest = url.substr(7);
    } else if (StartsWithIgnoreAsciiCase(url, "https://")) {
        rest = url.substr(8);
    } else {
        return false;
    }
    // A host must follow, and nothing the browser would read as a second command.
    if (rest.empty() || rest.front() == '/' || rest.front() == '?' || rest.front() == '#') {
        return false;
    }
    for (const char c : url) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F || c == '"' || c == '\\') {
            return false;
        }
    }
    return true;
}

frmBlocked::frmBlocked(BlockerState& state, platform::Form& window, BlockedPopupsServices& services,
                       std::function<void(const std::string&)> addSite)
    : state_(state), window_(window), services_(services), addSite_(std::move(addSite)) {}

std::optional<platform::WindowHandle> frmBlocked::Show() {
    if (!window_.IsLoaded()) {
        if (!window_.Load()) {
            return std::nullopt;
        }
        window_.SetEventHandler([this](const platform::Event& event) { OnEvent(event); });
        Fill();
    }
    window_.Show();
    return window_.Handle();
}

void frmBlocked::Fill() {
    Rows().Clear();
    const BlockedHistory& history = state_.history;
    for (std::size_t i = 0; i < history.Size(); ++i) {
        const auto cells = Cells(history.Newest(i));
        if (!Rows().InsertRow(Rows().RowCount(), cells)) {
            break;
        }
    }
    newestShown_ = history.Size() > 0 ? history.Newest(0).serial : 0;
}

void frmBlocked::HistoryChanged() {
    if (!window_.IsLoaded()) {
        return;
    }
    const BlockedHistory& history = state_.history;
    platform::ListView& rows = Rows();
    if (history.Size() == 0) {
        rows.Clear();
        newestShown_ = 0;
        return;
    }
    std::size_t fresh = 0;
    while (fresh < history.Size() && history.Newest(fresh).serial > newestShown_) {
        ++fresh;
    }
    for (std::size_t i = fresh; i-- > 0;) {
        const auto cells = Cells(history.Newest(i));
        (void)rows.InsertRow(0, cells);
    }
    newestShown_ = history.Newest(0).serial;
    while (rows.RowCount() > static_cast<int>(history.Size())) {
        rows.RemoveRow(rows.RowCount() - 1);
    }
    // A popup address that came with a second event of the same request.
    for (int row = 0; row < rows.RowCount() && row < 4; ++row) {
        const BlockedPopup& entry = history.Newest(static_cast<std::size_t>(row));
        if (rows.Cell(row, 2) != entry.popup) {
            rows.RemoveRow(row);
            (void)rows.InsertRow(row, Cells(entry));
        }
    }
}

void frmBlocked::OnEvent(const platform::Event& event) {
    (void)platform::Dispatch<frmBlocked>(kBindings, *this, event);
}

void frmBlocked::Close() {
    window_.Unload();
}

platform::ListView& frmBlocked::Rows() {
    return window_.Rows(ctl::lvwBlocked);
}

const BlockedPopup* frmBlocked::Selected() {
    platform::ListView& rows = Rows();
    for (int row = 0; row < rows.RowCount(); ++row) {
        if (rows.RowSelected(row) && static_cast<std::size_t>(row) < state_.history.Size()) {
            return &state_.history.Newest(static_cast<std::size_t>(row));
        }
    }
    return nullptr;
}

void frmBlocked::cmdOpen_Click() {
    const BlockedPopup* entry = Selected();
    if (entry == nullptr) {
        return;
    }
    if (entry->popup.empty()) {
        services_.ShowMessage(
            "The browser did not tell this popup's address, so it cannot be opened.");
        return;
    }
    if (entry->cut || !IsOpenablePopupAddress(entry->popup)) {
        services_.ShowMessage(
            "Only http: and https: addresses are opened. This popup's address "
            "is refused:\n\n" +
            entry->popup);
        return;
    }
    const std::string opener = entry->opener;
    const std::string url = entry->popup;
    if (!services_.OpenPopup(opener, url)) {
        services_.ShowMessage("No browser window showing " + opener +
                              " is open any more, so the popup cannot be opened from it.");
    }
}

void frmBlocked::cmdAllow_Click() {
    if (const BlockedPopup* entry = Selected(); entry != nullptr && addSite_) {
        const std::string site = entry->site;
        addSite_(site);
    }
}

void frmBlocked::cmdCopy_Click() {
    std::string text;
    platform::ListView& rows = Rows();
    for (int row = 0; row < rows.RowCount(); ++row) {
        if (rows.RowSelected(row) && static_cast<std::size_t>(row) < state_.history.Size()) {
            text += HistoryRowText(state_.history.Newest(static_cast<std::size_t>(row)));
            text += "\r\n";
        }
    }
    if (!text.empty()) {
        (void)services_.CopyText(text);
    }
}

void frmBlocked::cmdSave_Click() {
    const std::optional<std::string> path = services_.ChooseCsvFile();
    if (!path) {
        return;
    }
    const platform::Status written = services_.WriteFileBytes(*path, HistoryCsv(state_.history));
    if (!written) {
        services_.ShowMessage("Could not save " + *path + ": " + written.error().reason);
    }
}

void frmBlocked::cmdClear_Click() {
    state_.history.Clear();
}

}  // namespace quell
