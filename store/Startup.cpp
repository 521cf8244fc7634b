#include "store/Startup.h"

#include <utility>

#include "blocker/AllowNext.h"
#include "resources/Form1Design.h"

namespace quell {
namespace {

namespace ctl = design::Form1Controls;

// Each restored box that becomes ticked runs its click behaviour before the next is set.
constexpr std::pair<design::CheckRef, std::string_view> kRestoreOrder[] = {
    {ctl::Check6, keys::kChkLinks},      {ctl::Check5, keys::kChkSound},
    {ctl::Check4, keys::kChkRunAtStart}, {ctl::Check3, keys::kChkOnTop},
    {ctl::Check2, keys::kChkAuto},       {ctl::Check1, keys::kChkStopPop},
};

void ReportIfFailed(MainWindowForm& form, const platform::Status& status) {
    if (!status) {
        form.SetStatus(status.error().message);
    }
}

constexpr SiteList kLists[] = {SiteList::Allowed, SiteList::Disallowed};

// A list file another program holds open at start-up (a backup tool, a virus scanner) is
// read again on this timer until it can be.
constexpr int kListLoadTimer = 21;
constexpr int kListLoadRetryMs = 3000;

void LoadListFiles(MainWindowParts& parts) {
    for (const SiteList list : kLists) {
        platform::Status loaded = parts.lists.Load(list);
        if (!loaded && parts.lists.NeedsLoad(list)) {
            parts.form.SetStatus(loaded.error().message +
                                 " It is read again as soon as it can be.");
        } else {
            ReportIfFailed(parts.form, loaded);
        }
    }
    if (parts.lists.NeedsLoad(SiteList::Allowed) || parts.lists.NeedsLoad(SiteList::Disallowed)) {
        parts.form.window().StartTimer(kListLoadTimer, kListLoadRetryMs);
    }
}

void RetryListLoads(MainWindowParts& parts) {
    for (const SiteList list : kLists) {
        if (parts.lists.NeedsLoad(list) && parts.lists.Load(list)) {
            parts.form.SetStatus(std::string(FileName(list)) +
                                 " could be read now: the list shows all its entries.");
        }
    }
    if (!parts.lists.NeedsLoad(SiteList::Allowed) && !parts.lists.NeedsLoad(SiteList::Disallowed)) {
        parts.form.window().StopTimer(kListLoadTimer);
    }
}

// A list copy too large for one registry value is left out rather than written: the list
// file holds the list, and the copy only stands in for a file that cannot be read.
void SaveListCopy(MainWindowParts& parts, std::string_view key, const ListText& text,
                  std::string_view listName) {
    if (text.Text().size() > kLargestListCopy) {
        parts.form.SetStatus("The " + std::string(listName) + " list (" +
                             std::to_string(text.Text().size() >> 10) +
                             " KB) is too large for a copy in the settings; its file keeps it.");
        return;
    }
    (void)parts.settings.Save(key, text.Text());
}

void CreateMissingListFiles(MainWindowParts& parts) {
    for (const SiteList list : kLists) {
        ReportIfFailed(parts.form, parts.lists.Recover(list));
    }
    if (!parts.services.ListFileExists(SiteList::Allowed)) {
        ReportIfFailed(parts.form,
                       parts.lists.CreateListFile(SiteList::Allowed, parts.product.website));
    }
    if (!parts.services.ListFileExists(SiteList::Disallowed)) {
        ReportIfFailed(parts.form, parts.lists.CreateListFile(SiteList::Disallowed, ""));
    }
}

}  // namespace

void Form1_Load(MainWindowParts& parts) {
    BlockerState& state = parts.state;
    platform::Form& window = parts.form.window();
    Settings& settings = parts.settings;

    state.blnAllowNext = false;
    parts.services.StopGlobalSkin();
    parts.services.SetWindowIcons();
    window.SetCaption(parts.product.productName + " by " + parts.product.companyName);
    window.Text(ctl::Command7).SetText("Visit " + parts.product.website);
    parts.services.AddTrayIcon();
    state.blnOnTop = false;

    for (const auto& [box, key] : kRestoreOrder) {
        window.Check(box).SetValue(settings.GetCheckBox(key));
    }

    state.lngBlocked = settings.GetCounter();
    state.strAllowed = settings.GetString(keys::kStrAllowed);
    state.strDisallowed = settings.GetString(keys::kStrDisallowed);
    parts.form.set_state(settings.GetString(keys::kState));

    platform::StatusBar& status = window.Status(ctl::StatusBar1);
    status.AddPanel();
    status.AddPanel();
    const int half = window.ClientWidthTwips() / 2;
    status.SetPanelWidth(1, half);
    status.SetPanelWidth(2, half);
    status.SetPanelText(1, std::to_string(state.lngBlocked) + std::string(kBlockedSuffix));

    CreateMissingListFiles(parts);
    LoadListFiles(parts);

    if (parts.form.state() == "up") {
        window.SetState(platform::WindowState::Normal);
    } else {
        // The window, not shown yet, takes the state when it is shown and raises no Resize
        // now: the hiding into the tray ("down", saved) is the resize handling run here.
        window.SetState(platform::WindowState::Minimized);
        parts.form.Form_Resize();
    }

    if (!parts.hotKey.Install(window.Handle(), window.ControlHandle(ctl::pctHotkey))) {
        parts.form.SetStatus(std::string(kHotKeyTakenText));
    }

    parts.services.CreateTracker();

    if (settings.GetString(keys::kShowHelp) == "1") {
        const std::optional<platform::WindowHandle> help = parts.services.ShowHelp();
        if (help && state.blnOnTop) {
            parts.form.onTop().MakeTopMost(*help);
        }
    }
}

void SaveSettingsOnShutdown(MainWindowParts& parts) {
    platform::Form& window = parts.form.window();
    Settings& settings = parts.settings;
    (void)settings.SaveNumber(keys::kChkRunAtStart, window.Check(ctl::Check4).Value());
    (void)settings.SaveNumber(keys::kChkOnTop, window.Check(ctl::Check3).Value());
    (void)settings.SaveNumber(keys::kChkAuto, window.Check(ctl::Check2).Value());
    (void)settings.SaveNumber(keys::kChkStopPop, window.Check(ctl::Check1).Value());
    (void)settings.SaveNumber(keys::kIntStopped, parts.state.lngBlocked);
    SaveListCopy(parts, keys::kStrAllowed, parts.state.strAllowed, "allowed");
    SaveListCopy(parts, keys::kStrDisallowed, parts.state.strDisallowed, "disallowed");
    (void)settings.SaveNumber(keys::kChkLinks, window.Check(ctl::Check6).Value());
    (void)settings.Save(keys::kState, parts.form.state());
}

void Form1_Unload(MainWindowParts& parts) {
    SaveSettingsOnShutdown(parts);
    parts.services.RemoveTrayIcon();
    parts.hotKey.Remove();
    parts.services.ReleaseTracker();
    parts.services.EndProgram();
}

void OnMainWindowEvent(MainWindowParts& parts, const platform::Event& event) {
    if (event.kind == platform::EventKind::EndSession && event.FromWindow()) {
        SaveSettingsOnShutdown(parts);
        return;
    }
    if (event.kind == platform::EventKind::Timer && event.index == kListLoadTimer) {
        RetryListLoads(parts);
        return;
    }
    parts.form.OnEvent(event);
}

}  // namespace quell
