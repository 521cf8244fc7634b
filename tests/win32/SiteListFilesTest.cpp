// The site lists as the program wires them: the main window's real list boxes and the list
// files through the Windows file adapter.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/Win32TextFiles.h"
#include "platform/win32/Win32Toolkit.h"
#include "resources/Form1Design.h"
#include "store/Module1.h"
#include "support/TempFolder.h"

namespace platform::win32 {
namespace {

using quell::SiteList;

class SiteListFilesTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(form_->Load()); }

    Win32Toolkit toolkit_;
    std::unique_ptr<DesignedWindow> form_ =
        toolkit_.CreateDesignedWindow(quell::design::kForm1Design);
    quell::testing::TempFolder dir_;
    quell::BlockerState state_;
    Win32TextFiles files_;
    quell::Module1 lists_{state_, form_->List(quell::design::Form1Controls::List1),
                          form_->List(quell::design::Form1Controls::List2), files_, dir_.path()};
};

// Whatever a hand-edited file holds comes back byte for byte from a load and a full rewrite:
// NUL bytes, the five bytes code page 1252 leaves undefined, a line of a megabyte.
TEST_F(SiteListFilesTest, LoadThenRewriteKeepsEveryLineByteForByte) {
    const std::string lines[] = {
        std::string("nul\0inside.example", 19), std::string("\0", 1),
        "\x81\x8D\x8F\x90\x9D.example",         "caf\xE9\t\x7F.example",
        std::string(1 << 20, 'm') + ".example",
    };
    std::string file;
    for (const std::string& line : lines) {
        file += line + "\r\n";
    }
    dir_.Write("allowed.txt", file);
    ASSERT_TRUE(lists_.LoadAllowed().ok());
    ASSERT_EQ(form_->List(quell::design::Form1Controls::List1).ListCount(), 5);
    EXPECT_EQ(form_->List(quell::design::Form1Controls::List1).List(1), std::string("\0", 1));
    ASSERT_TRUE(lists_.SaveAllowed().ok());
    EXPECT_EQ(dir_.Read("allowed.txt"), file + "\r\n");
}

// Other programs (accessibility tools, the test driver) read items with LB_GETTEXT.
TEST_F(SiteListFilesTest, ListBoxAnswersTextMessagesFromItsItems) {
    dir_.Write("disallowed.txt", "a.example\r\ncaf\xE9.example\r\n");
    ASSERT_TRUE(lists_.LoadDisallowed().ok());
    const HWND list = form_->ControlHwnd("List2");
    EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
    ASSERT_EQ(::SendMessageW(list, LB_GETTEXTLEN, 1, 0), 12);
    wchar_t text[13] = {};
    EXPECT_EQ(::SendMessageW(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text)), 12);
    EXPECT_STREQ(text, L"caf\u00e9.example");
    EXPECT_EQ(::SendMessageW(list, LB_GETTEXTLEN, 2, 0), LB_ERR);

    ::SendMessageW(list, LB_SETCURSEL, 1, 0);
    form_->List(quell::design::Form1Controls::List2).RemoveItem(0);
    EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 1);
    EXPECT_TRUE(form_->List(quell::design::Form1Controls::List2).Selected(0));
    EXPECT_EQ(form_->List(quell::design::Form1Controls::List2).List(0), "caf\xC3\xA9.example");
}

}  // namespace
}  // namespace platform::win32
