#include "mainwindow/Form1.h"

#include "blocker/AllowNext.h"
#include "mainwindow/ListCommands.h"
#include "mainwindow/SiteListTransfer.h"

namespace quell {
namespace {

constexpr const char* kStatusBar = "StatusBar1";

}  // namespace

Form1::Form1(BlockerState& state, platform::Form& window, Settings& settings, Module1& lists,
             platform::WindowZOrder& zorder, Form1Services& services)
    : blocker_(state),
      window_(window),
      settings_(settings),
      lists_(lists),
      services_(services),
      onTop_(zorder) {}

void Form1::SetStatus(const std::string& text) {
    platform::SetStatus(window_.Status(kStatusBar), text);
}

void Form1::OnEvent(const platform::Event& event) {
    const std::string_view name = event.control;
    switch (event.kind) {
        case platform::EventKind::Click:
            if (name == "Check1") {
                Check1_Click();
            } else if (name == "Check2") {
                Check2_Click();
            } else if (name == "Check3") {
                Check3_Click();
            } else if (name == "Check4") {
                Check4_Click();
            } else if (name == "Check5") {
                Check5_Click();
            } else if (name == "Check6") {
                Check6_Click();
            } else if (name == "Command1") {
                AddSiteCommand(lists_, SiteList::Allowed, window_.Text("Text1"),
                               window_.Status(kStatusBar));
            } else if (name == "Command2") {
                DeleteSiteCommand(lists_, SiteList::Allowed, window_.Status(kStatusBar));
            } else if (name == "Command3") {
                DeleteSiteCommand(lists_, SiteList::Disallowed, window_.Status(kStatusBar));
            } else if (name == "Command4") {
                AddSiteCommand(lists_, SiteList::Disallowed, window_.Text("Text2"),
                               window_.Status(kStatusBar));
            } else if (name == "Command5" || name == "allow") {
                Command5_Click();
            } else if (name == "Command6") {
                Command6_Click();
            } else if (name == "Command7") {
                Command7_Click();
            } else if (name == "mnuFileItem") {
                mnuFileItem_Click(event.index);
            } else if (name == "mnuActionItem") {
                mnuActionItem_Click(event.index);
            } else if (name == "mnuToolsItem") {
                mnuToolsItem_Click(event.index);
            } else if (name == "mnuHelpItem") {
                mnuHelpItem_Click(event.index);
            } else if (name == "mnuAboutItem") {
                mnuAboutItem_Click(event.index);
            } else if (name == "blocked") {
                ShowBlockedPopups();
            } else if (name == "show") {
                ShowProgram();
            } else if (name == "Exit") {
                services_.Exit();
            }
            // "close" only dismisses the tray menu.
            break;
        case platform::EventKind::EnterKey:
            if (name == "Text1" || name == "Text2") {
                OnEvent({platform::EventKind::Click, name == "Text1" ? "Command1" : "Command4"});
            }
            break;
        case platform::EventKind::DeleteKey:
            if (name == "List1" || name == "List2") {
                OnEvent({platform::EventKind::Click, name == "List1" ? "Command2" : "Command3"});
            }
            break;
        case platform::EventKind::MouseMove:
            // The hot key arrives as a mouse move of the idle picture box, whatever its
            // buttons and position.
            if (name == "pctHotkey") {
                ToggleAllowNext(blocker_, window_.Status(kStatusBar));
            }
            break;
        case platform::EventKind::Resize:
            if (name.empty()) {
                Form_Resize();
            }
            break;
        case platform::EventKind::QueryClose:
            if (name.empty()) {
                services_.Exit();
            }
            break;
        default:
            break;
    }
}

void Form1::Check1_Click() {
    SetStatus(platform::IsOn(Check("Check1")) ? "Now blocking popups" : "Now allowing popups");
}

void Form1::Check2_Click() {
    SetStatus(platform::IsOn(Check("Check2")) ? "Setup Mode Enabled" : "Setup Mode Disabled");
}

void Form1::Check6_Click() {
    SetStatus(platform::IsOn(Check("Check6")) ? "Auto New Window Enabled"
                                              : "Auto New Window Disabled");
}

void Form1::Check5_Click() {
    platform::CheckBox& box = Check("Check5");
    SetStatus(platform::IsOn(box) ? "Sounds Enabled" : "Sounds Disabled");
    (void)settings_.SaveNumber(keys::kChkSound, box.Value());
}

void Form1::Check3_Click() {
    platform::CheckBox& box = Check("Check3");
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
    platform::CheckBox& box = Check("Check4");
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
    ToggleAllowNext(blocker_, window_.Status(kStatusBar));
}

void Form1::Command6_Click() {
    window_.SetState(platform::WindowState::Minimized);
}

void Form1::Command7_Click() {
    services_.OpenWebsite();
}

void Form1::mnuFileItem_Click(int index) {
    if (index == 1) {
        services_.Exit();
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
    AddSite(lists_, SiteList::Allowed, site, window_.Status(kStatusBar));
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
