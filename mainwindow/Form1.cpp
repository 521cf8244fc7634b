#include "mainwindow/Form1.h"

#include "blocker/AllowNext.h"
#include "mainwindow/ListCommands.h"
#include "mainwindow/SiteListTransfer.h"
#include "platform/Bindings.h"
#include "resources/Form1Design.h"

namespace quell {
namespace {

namespace ctl = design::Form1Controls;
using platform::EventKind;
using platform::kWindow;

// The tray menu's "close" has no binding: it only dismisses the menu.
constexpr platform::Binding<Form1> kBindings[] = {
    {ctl::Check1, EventKind::Click, &Form1::Check1_Click},
    {ctl::Check2, EventKind::Click, &Form1::Check2_Click},
    {ctl::Check3, EventKind::Click, &Form1::Check3_Click},
    {ctl::Check4, EventKind::Click, &Form1::Check4_Click},
    {ctl::Check5, EventKind::Click, &Form1::Check5_Click},
    {ctl::Check6, EventKind::Click, &Form1::Check6_Click},
    {ctl::Command1, EventKind::Click, &Form1::Command1_Click},
    {ctl::Command2, EventKind::Click, &Form1::Command2_Click},
    {ctl::Command3, EventKind::Click, &Form1::Command3_Click},
    {ctl::Command4, EventKind::Click, &Form1::Command4_Click},
    {ctl::Command5, EventKind::Click, &Form1::Command5_Click},
    {ctl::allow, EventKind::Click, &Form1::Command5_Click},
    {ctl::Command6, EventKind::Click, &Form1::Command6_Click},
    {ctl::Command7, EventKind::Click, &Form1::Command7_Click},
    {ctl::mnuFileItem, EventKind::Click, &Form1::mnuFileItem_Click},
    {ctl::mnuActionItem, EventKind::Click, &Form1::mnuActionItem_Click},
    {ctl::mnuToolsItem, EventKind::Click, &Form1::mnuToolsItem_Click},
    {ctl::mnuHelpItem, EventKind::Click, &Form1::mnuHelpItem_Click},
    {ctl::mnuAboutItem, EventKind::Click, &Form1::mnuAboutItem_Click},
    {ctl::blocked, EventKind::Click, &Form1::ShowBlockedPopups},
    {ctl::show, EventKind::Click, &Form1::ShowProgram},
    {ctl::Exit, EventKind::Click, &Form1::Exit},
    {ctl::Text1, EventKind::EnterKey, &Form1::Command1_Click},
    {ctl::Text2, EventKind::EnterKey, &Form1::Command4_Click},
    {ctl::List1, EventKind::DeleteKey, &Form1::Command2_Click},
    {ctl::List2, EventKind::DeleteKey, &Form1::Command3_Click},
    // The hot key arrives as a mouse move of the idle picture box, whatever its buttons and
    // position.
    {ctl::pctHotkey, EventKind::MouseMove, &Form1::Command5_Click},
    {kWindow, EventKind::Resize, &Form1::Form_Resize},
    {kWindow, EventKind::QueryClose, &Form1::Exit},
};

}  // namespace

Form1::Form1(BlockerState& state, platform::Form& window, Settings& settings, Module1& lists,
             platform::WindowZOrder& zorder, Form1Services& services)
    : blocker_(state),
      window_(window),
      settings_(settings),
      lists_(lists),
      services_(services),
      onTop_(zorder) {}

platform::StatusBar& Form1::StatusLine() {
    return window_.Status(ctl::StatusBar1);
}

void Form1::SetStatus(const std::string& text) {
    platform::SetStatus(StatusLine(), text);
}

void Form1::OnEvent(const platform::Event& event) {
    (void)platform::Dispatch<Form1>(kBindings, *this, event);
}

void Form1::Command1_Click() {
    AddSiteCommand(lists_, SiteList::Allowed, window_.Text(ctl::Text1), StatusLine());
}

void Form1::Command2_Click() {
    DeleteSiteCommand(lists_, SiteList::Allowed, StatusLine());
}

void Form1::Command3_Click() {
    DeleteSiteCommand(lists_, SiteList::Disallowed, StatusLine());
}

void Form1::Command4_Click() {
    AddSiteCommand(lists_, SiteList::Disallowed, window_.Text(ctl::Text2), StatusLine());
}

void Form1::Exit() {
    services_.Exit();
}

void Form1::Check1_Click() {
    SetStatus(platform::IsOn(Check(ctl::Check1)) ? "Now blocking popups" : "Now allowing popups");
}

void Form1::Check2_Click() {
    SetStatus(platform::IsOn(Check(ctl::Check2)) ? "Setup Mode Enabled" : "Setup Mode Disabled");
}

void Form1::Check6_Click() {
    SetStatus(platform::IsOn(Check(ctl::Check6)) ? "Auto New Window Enabled"
                                                 : "Auto New Window Disabled");
}

void Form1::Check5_Click() {
    platform::CheckBox& box = Check(ctl::Check5);
    SetStatus(platform::IsOn(box) ? "Sounds Enabled" : "Sounds Disabled");
    (void)settings_.SaveNumber(keys::kChkSound, box.Value());
}

void Form1::Check3_Click() {
    platform::CheckBox& box = Check(ctl::Check3);
    if (platform::IsOn(box)) {
        onTop_.MakeTopMost(window_.Handle());
        blocker_.blnOnTop = true;
        SetStatus("Always On Top Enabled");
    } else {
        onTop_.MakeNormal(window_.Handle());
        blocker_.blnOnTop = false;
        SetStatus("Always On Top Disabled");
    }
    (void)settings_.SaveNumber(keys::kChkOnTop, box.Value());
}

void Form1::Check4_Click() {
    platform::CheckBox& box = Check(ctl::Check4);
    if (!platform::IsOn(box)) {
        Report(services_.DisableRunAtStartup());
        return;
    }
    const StatusReport enabled = services_.EnableRunAtStartup();
    if (!enabled.ok) {
        // Neither the machine's nor the user's Run key took the value: the box must not
        // claim otherwise. Unticking runs the off branch; the reason is said last.
        box.SetValue(0);
    }
    Report(enabled);
}

void Form1::Command5_Click() {
    ToggleAllowNext(blocker_, StatusLine());
}

void Form1::Command6_Click() {
    window_.SetState(platform::WindowState::Minimized);
}

void Form1::Command7_Click() {
    services_.OpenWebsite();
}

void Form1::mnuFileItem_Click(int index) {
    if (index == 1) {
        Exit();
    } else if (index == 2) {
        ExportSiteLists_Click();
    } else if (index == 3) {
        ImportSiteLists_Click();
    }
}

void Form1::ExportSiteLists_Click() {
    const std::optional<std::string> path =
        services_.ChooseFile(Form1Services::FileChoice::ExportSiteLists);
    if (!path) {
        return;
    }
    const platform::Result<std::string> text = quell::ExportSiteLists(lists_);
    if (!text) {
        SetStatus(text.error().message);
        return;
    }
    const platform::Status written = services_.WriteFileBytes(*path, text.value());
    SetStatus(written
                  ? "Site lists exported to " + *path
                  : "Could not export the site lists to " + *path + ": " + written.error().reason);
}

void Form1::ImportSiteLists_Click() {
    const std::optional<std::string> path =
        services_.ChooseFile(Form1Services::FileChoice::ImportSiteLists);
    if (!path) {
        return;
    }
    const platform::Result<std::string> bytes = services_.ReadFileBytes(*path);
    if (!bytes) {
        SetStatus("Could not read " + *path + ": " + bytes.error().reason);
        return;
    }
    const ImportedLists imported = ParseSiteLists(bytes.value());
    ImportCounts counts;
    if (imported.sectioned) {
        ImportEntries(lists_, SiteList::Allowed, imported.allowed, counts);
        ImportEntries(lists_, SiteList::Disallowed, imported.disallowed, counts);
    } else if (!imported.plain.empty()) {
        const std::optional<SiteList> list = services_.ChooseImportList();
        if (!list) {
            return;
        }
        ImportEntries(lists_, *list, imported.plain, counts);
    }
    SetStatus(ImportStatusText(counts));
}

void Form1::mnuActionItem_Click(int index) {
    if (index == 0) {
        Command6_Click();
    } else if (index == 1) {
        Command5_Click();
    } else if (index == 2) {
        ShowBlockedPopups();
    }
}

void Form1::ShowBlockedPopups() {
    ShowTopmostIfOnTop(services_.ShowBlockedPopups());
}

void Form1::AllowSite(const std::string& site) {
    AddSite(lists_, SiteList::Allowed, site, StatusLine());
}

void Form1::mnuToolsItem_Click(int index) {
    if (index == 0) {
        Report(services_.AddToolsEntry());
    } else if (index == 1) {
        Report(services_.RemoveToolsEntry());
    }
}

void Form1::ShowTopmostIfOnTop(std::optional<platform::WindowHandle> shown) {
    if (shown && blocker_.blnOnTop) {
        onTop_.MakeTopMost(*shown);
    }
}

void Form1::mnuHelpItem_Click(int index) {
    if (index == 0) {
        ShowTopmostIfOnTop(services_.ShowHelp());
    }
}

void Form1::mnuAboutItem_Click(int index) {
    if (index == 0) {
        ShowTopmostIfOnTop(services_.ShowAbout());
    }
}

void Form1::Form_Resize() {
    if (window_.State() == platform::WindowState::Minimized) {
        state_ = "down";
        window_.Hide();
    } else {
        state_ = "up";
        window_.Show();
    }
    (void)settings_.Save(keys::kState, state_);
}

void Form1::ShowProgram() {
    window_.SetState(platform::WindowState::Normal);
    window_.Show();
}

}  // namespace quell
