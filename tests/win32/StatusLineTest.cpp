// The main window's status line under Wine: every message can be read whole.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "blocker/AllowNext.h"
#include "mainwindow/AddRemove.h"
#include "mainwindow/modIETools.h"
#include "platform/Registry.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/Win32Toolkit.h"
#include "resources/Form1Design.h"

namespace platform::win32 {
namespace {

class StatusLine : public ::testing::Test {
  protected:
    void SetUp() override {
        form_ = toolkit_.CreateDesignedWindow(quell::design::kForm1Design);
        ASSERT_TRUE(form_->Load());
        hwnd_ = form_->ControlHwnd("StatusBar1");
        // The panels as start-up adds them: two halves of the client width.
        platform::StatusBar& bar = form_->Status(quell::design::Form1Controls::StatusBar1);
        bar.AddPanel();
        bar.AddPanel();
        bar.SetPanelWidth(1, form_->ClientWidthTwips() / 2);
        bar.SetPanelWidth(2, form_->ClientWidthTwips() / 2);
    }

    // Pixels of panel 2 its text can use: the part less the borders the bar draws inside it.
    int Room() const {
        RECT part{};
        ::SendMessageW(hwnd_, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part));
        int borders[3] = {};
        ::SendMessageW(hwnd_, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
        return part.right - part.left - 2 * borders[2] - 2 * ::GetSystemMetrics(SM_CXEDGE);
    }
    int Width(const std::string& text) const {
        const HDC dc = ::GetDC(hwnd_);
        const HGDIOBJ previous =
            ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
        const std::wstring wide = Widen(text);
        SIZE size{};
        ::GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
        ::SelectObject(dc, previous);
        ::ReleaseDC(hwnd_, dc);
        return size.cx;
    }

    Win32Toolkit toolkit_;
    std::unique_ptr<DesignedWindow> form_;
    HWND hwnd_ = nullptr;
};

TEST_F(StatusLine, APanelsWholeTextIsItsTooltip) {
    const std::string text =
        "Could not save allowed.txt: There is not enough space on the disk. (C:\\Program "
        "Files\\QuellPane\\allowed.txt)";
    platform::SetStatus(form_->Status(quell::design::Form1Controls::StatusBar1), text);
    wchar_t tip[512] = {};
    ::SendMessageW(hwnd_, SB_GETTIPTEXTW, MAKEWPARAM(1, 512), reinterpret_cast<LPARAM>(tip));
    EXPECT_EQ(Narrow(tip), text);
}

// The program's own sentences, those without a reason given by the system, fit the panel.
TEST_F(StatusLine, TheProgramsOwnSentencesFitPanelTwo) {
    platform::Error denied;
    denied.code = platform::kAccessDenied;
    const quell::PlacementResult forMe{quell::Placement::CurrentUserOnly, denied};
    const quell::PlacementResult forAll{quell::Placement::AllUsers, {}};
    for (const std::string& text : {
             quell::RunAtStartupEnabledText(forAll),
             quell::RunAtStartupEnabledText(forMe),
             quell::RunAtStartupDisabledText(platform::Status::Ok()),
             quell::modIETools::ToolsEntryAddedText(forAll),
             quell::modIETools::ToolsEntryAddedText(forMe),
             quell::modIETools::ToolsEntryRemovedText(platform::Status::Ok()),
             std::string(quell::kHotKeyTakenText),
             std::string(quell::kNextNotAllowedText),
         }) {
        EXPECT_LE(Width(text), Room()) << text;
    }
}

}  // namespace
}  // namespace platform::win32
