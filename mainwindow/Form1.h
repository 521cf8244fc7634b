// The main window's controller: six switches, list editor, command buttons, status line,
// menus and the tray menu's items.
#pragma once

#include <string>

#include "blocker/BlockerState.h"
#include "mainwindow/Form1Services.h"
#include "mainwindow/clsOnTop.h"
#include "platform/Form.h"
#include "store/Module1.h"
#include "store/Settings.h"

namespace quell {

class Form1 {
  public:
    Form1(BlockerState& state, platform::Form& window, Settings& settings, Module1& lists,
          platform::WindowZOrder& zorder, Form1Services& services);

    // Every event of the window and its controls; bind it with Form::SetEventHandler.
    void OnEvent(const platform::Event& event);

    // The status line: panel 2 of StatusBar1.
    void SetStatus(const std::string& text);

    // Switch handlers, also run when the program changes a box's value.
    void Check1_Click();
    void Check2_Click();
    void Check3_Click();
    void Check4_Click();
    void Check5_Click();
    void Check6_Click();

    void Command1_Click();  // add to the allowed list (also Enter in Text1)
    void Command2_Click();  // delete from the allowed list (also Delete in List1)
    void Command3_Click();  // delete from the disallowed list (also Delete in List2)
    void Command4_Click();  // add to the disallowed list (also Enter in Text2)
    void Command5_Click();  // allow the next popup (also the hot key, the tray's "allow")
    void Command6_Click();  // minimise to the tray
    void Command7_Click();  // visit the website

    void mnuFileItem_Click(int index);
    void ExportSiteLists_Click();
    // "Allow Site" of the blocked popups: the allowed list's Add path.
    void AllowSite(const std::string& site);
    void ShowBlockedPopups();
    void ImportSiteLists_Click();
    void mnuActionItem_Click(int index);
    void mnuToolsItem_Click(int index);
    void mnuHelpItem_Click(int index);
    void mnuAboutItem_Click(int index);

    // The window's size or state changed: minimised hides into the tray ("down"); otherwise
    // the window is shown ("up"). Saved at once.
    void Form_Resize();
    // "Show program" on the tray menu.
    void ShowProgram();
    // The close box, File > Exit and the tray's "Exit": the program ends.
    void Exit();

    clsOnTop& onTop() { return onTop_; }
    const std::string& state() const { return state_; }
    void set_state(std::string value) { state_ = std::move(value); }
    platform::Form& window() { return window_; }

  private:
    platform::CheckBox& Check(design::CheckRef box) { return window_.Check(box); }
    platform::StatusBar& StatusLine();
    void ShowTopmostIfOnTop(std::optional<platform::WindowHandle> shown);
    void Report(const StatusReport& report) { SetStatus(report.text); }

    BlockerState& blocker_;
    platform::Form& window_;
    Settings& settings_;
    Module1& lists_;
    Form1Services& services_;
    clsOnTop onTop_;
    std::string state_ = "up";
};

}  // namespace quell
