// Windows built from the real design tables, under Wine: controls, layout at a DPI, events,
// keyboard, menus and the form's life cycle.
#include "platform/win32/DesignedWindow.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/win32/Dpi.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Layout.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/Win32EventPump.h"
#include "platform/win32/Win32Toolkit.h"
#include "resources/BlockedDesign.h"
#include "resources/Form1Design.h"
#include "resources/Form3Design.h"
#include "resources/SecondaryDesigns.h"
#include "support/TempFolder.h"

namespace platform::win32 {
namespace {

using quell::design::Border;
using quell::design::ControlDesign;
using quell::design::ControlKind;
using quell::design::kAboutDesign;
using quell::design::kBlockedDesign;
using quell::design::kForm1Design;
using quell::design::kForm3Design;
using quell::design::kHelpDesign;
using quell::design::kSplashDesign;
using quell::design::kVerdana;
using quell::design::kVerdanaBold;
using quell::design::kWebsiteDesign;
using quell::design::WindowDesign;
namespace f1 = quell::design::Form1Controls;

struct Seen {
    EventKind kind;
    std::string control;
    int index = -1;
    int x = 0;
    int y = 0;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& seen) {
    return out << "{kind " << static_cast<int>(seen.kind) << ", \"" << seen.control << "\", "
               << seen.index << ", " << seen.x << ", " << seen.y << "}";
}

// The main window's event with its source's design name, "" for the window itself.
Seen Record(const Event& event) {
    std::string_view source;
    if (event.control >= 0) {
        source = kForm1Design.controls[static_cast<std::size_t>(event.control)].name;
    } else if (event.menuItem >= 0) {
        source = kForm1Design.menuItems[static_cast<std::size_t>(event.menuItem)].name;
    }
    return {event.kind, std::string(source), event.index, event.x, event.y};
}

// What the program's message loop does with each message.
void Pump() {
    Win32EventPump pump;
    pump.preTranslate = &PreTranslateMessage;
    pump.DoEvents();
}

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 3000) {
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    while (!done()) {
        if (::GetTickCount64() > end) {
            return false;
        }
        Pump();
        ::Sleep(5);
    }
    return true;
}

std::wstring Lower(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[128] = {};
    ::GetClassNameW(window, name, 128);
    return Lower(name);
}

std::string TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

DWORD StyleOf(HWND window) {
    return static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
}

DWORD ExStyleOf(HWND window) {
    return static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
}

RECT ClientRectOf(HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

LOGFONTW FontOf(HWND control) {
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
                 &font);
    return font;
}

HWND TooltipOf(HWND form) {
    struct Search {
        HWND form;
        HWND found;
    } search{form, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            if (ClassOf(window) == L"tooltips_class32" &&
                ::GetWindow(window, GW_OWNER) == s->form) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The tooltip text of a control; "" when it has no tool.
std::string TooltipText(HWND tooltip, HWND form, HWND control) {
    wchar_t buffer[1024] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = form;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    if (!::SendMessageW(tooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool))) {
        return {};
    }
    tool.lpszText = buffer;
    ::SendMessageW(tooltip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
    return Narrow(buffer);
}

std::wstring ExpectedClass(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label:
            return L"static";
        case ControlKind::TextBox:
            return L"edit";
        case ControlKind::ListBox:
            return L"listbox";
        case ControlKind::CheckBox:
        case ControlKind::Button:
        case ControlKind::Frame:
            return L"button";
        case ControlKind::PictureBox:
            return L"quellpanepicturebox";
        case ControlKind::StatusBar:
            return L"msctls_statusbar32";
        case ControlKind::RichText:
            return L"richedit50w";
        case ControlKind::ListView:
            return L"syslistview32";
    }
    return L"";
}

class EveryControl : public ::testing::TestWithParam<const WindowDesign*> {};

TEST_P(EveryControl, ExistsWithItsIdClassTextTooltipAndVisibility) {
    const WindowDesign& design = *GetParam();
    Win32Toolkit toolkit;
    const auto form = toolkit.CreateDesignedWindow(design);
    ASSERT_TRUE(form->Load());
    EXPECT_FALSE(form->Visible());  // loaded hidden
    EXPECT_EQ(TextOf(form->Hwnd()), design.caption);
    const HWND tooltip = TooltipOf(form->Hwnd());
    ASSERT_NE(tooltip, nullptr);

    int tools = 0;
    for (const ControlDesign& control : design.controls) {
        SCOPED_TRACE(std::string(control.name));
        const HWND hwnd = form->ControlHwnd(control.name);
        ASSERT_TRUE(::IsWindow(hwnd));
        EXPECT_EQ(::GetParent(hwnd), form->Hwnd());
        EXPECT_EQ(::GetDlgCtrlID(hwnd), quell::design::ControlId(design, control.name));
        EXPECT_EQ(ClassOf(hwnd), ExpectedClass(control.kind));
        if (control.kind == ControlKind::ListView) {
            // The text names the columns, "Caption:twips" joined by '|'.
            const auto header = reinterpret_cast<HWND>(::SendMessageW(hwnd, LVM_GETHEADER, 0, 0));
            EXPECT_EQ(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0),
                      std::count(control.text.begin(), control.text.end(), '|') + 1);
            EXPECT_EQ(TextOf(hwnd), "");
        } else {
            EXPECT_EQ(TextOf(hwnd), control.text);
        }
        EXPECT_EQ(TooltipText(tooltip, form->Hwnd(), hwnd), control.tooltip);
        EXPECT_EQ((StyleOf(hwnd) & WS_VISIBLE) != 0, control.visible);
        tools += control.tooltip.empty() ? 0 : 1;
    }
    EXPECT_EQ(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), tools);
}

INSTANTIATE_TEST_SUITE_P(RealTables, EveryControl,
                         ::testing::Values(&kForm1Design, &kForm3Design, &kBlockedDesign),
                         [](const auto& test) { return std::string(test.param->name); });

// The list view's columns follow the window to another DPI, as every other measure does.
TEST(ListViewControl, ColumnsAreScaledToTheWindowsDpi) {
    Win32Toolkit toolkit;
    const auto form = toolkit.CreateDesignedWindow(kBlockedDesign);
    ASSERT_TRUE(form->Load());
    const HWND view = form->ControlHwnd("lvwBlocked");
    RECT rect{};
    ::GetWindowRect(form->Hwnd(), &rect);
    ::SendMessageW(form->Hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                   reinterpret_cast<LPARAM>(&rect));
    EXPECT_EQ(::SendMessageW(view, LVM_GETCOLUMNWIDTH, 0, 0), ::MulDiv(1980, 144, 1440));
    EXPECT_EQ(::SendMessageW(view, LVM_GETCOLUMNWIDTH, 3, 0), ::MulDiv(2250, 144, 1440));
}

class MainWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        form_ = toolkit_.CreateDesignedWindow(kForm1Design);
        ASSERT_TRUE(form_->Load());
        form_->SetEventHandler([this](const Event& event) { seen_.push_back(Record(event)); });
    }
    HWND Hwnd(std::string_view name) const { return form_->ControlHwnd(name); }

    // Every control at its laid-out place for `dpi`; the status bar along the bottom edge.
    void ExpectLayout(UINT dpi) const {
        const std::vector<RECT> layout = LayoutControls(kForm1Design, dpi);
        RECT client{};
        ::GetClientRect(form_->Hwnd(), &client);
        for (std::size_t i = 0; i < layout.size(); ++i) {
            const ControlDesign& control = kForm1Design.controls[i];
            SCOPED_TRACE(std::string(control.name) + " at " + std::to_string(dpi));
            RECT expected = layout[i];
            RECT actual = ClientRectOf(Hwnd(control.name));
            if (control.kind == ControlKind::StatusBar) {
                expected = {0, actual.top, client.right, client.bottom};
            }
            EXPECT_EQ(std::tie(actual.left, actual.top, actual.right, actual.bottom),
                      std::tie(expected.left, expected.top, expected.right, expected.bottom));
        }
    }

    void ExpectFonts(UINT dpi) const {
        for (const auto& [name, bold] : {std::pair{"Label3", true}, std::pair{"Frame2", true},
                                         std::pair{"Text1", false}, std::pair{"Command5", false}}) {
            SCOPED_TRACE(std::string(name) + " at " + std::to_string(dpi));
            const LOGFONTW font = FontOf(Hwnd(name));
            EXPECT_EQ(font.lfHeight, FontHeight(825, dpi));
            EXPECT_EQ(font.lfWeight, bold ? FW_BOLD : FW_NORMAL);
            EXPECT_STREQ(font.lfFaceName, L"Verdana");
        }
    }

    // From now on, the window's state at each Resize it raises goes to states_.
    void RecordStatesOnResize() {
        form_->SetEventHandler([this](const Event& event) {
            if (event.kind == EventKind::Resize) {
                states_.push_back(form_->State());
            }
        });
    }

    Win32Toolkit toolkit_;
    std::unique_ptr<DesignedWindow> form_;
    std::vector<Seen> seen_;
    std::vector<WindowState> states_;
};

TEST_F(MainWindow, LaysOutEveryControlAtTheWindowsDpi) {
    RECT client{};
    ::GetClientRect(form_->Hwnd(), &client);
    const SIZE size = ClientSizePixels(kForm1Design, form_->Dpi());
    EXPECT_EQ(client.right, size.cx);
    EXPECT_EQ(client.bottom, size.cy);
    ExpectLayout(form_->Dpi());
    ExpectFonts(form_->Dpi());
}

TEST_F(MainWindow, ADpiChangeTakesTheSuggestedRectangleAndRedoesLayoutAndFonts) {
    RECT before{};
    ::GetWindowRect(form_->Hwnd(), &before);
    const RECT suggested{before.left, before.top,
                         before.left + (before.right - before.left) * 3 / 2,
                         before.top + (before.bottom - before.top) * 3 / 2};
    ::SendMessageW(form_->Hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                   reinterpret_cast<LPARAM>(&suggested));

    EXPECT_EQ(form_->Dpi(), 144u);
    RECT after{};
    ::GetWindowRect(form_->Hwnd(), &after);
    EXPECT_EQ(after.right - after.left, suggested.right - suggested.left);
    EXPECT_EQ(after.bottom - after.top, suggested.bottom - suggested.top);
    ExpectLayout(144);
    ExpectFonts(144);
    EXPECT_EQ(::SendMessageW(TooltipOf(form_->Hwnd()), TTM_GETMAXTIPWIDTH, 0, 0), 450);
}

TEST_F(MainWindow, FrameTakesItsWindowStyleFromTheTable) {
    const DWORD style = StyleOf(form_->Hwnd());
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_EQ(::GetWindow(form_->Hwnd(), GW_OWNER), nullptr);  // in the taskbar
    EXPECT_FALSE(ExStyleOf(form_->Hwnd()) & WS_EX_TOOLWINDOW);
}

TEST_F(MainWindow, TabOrderFollowsTheTableWithGroupsAtFramesAndParentChanges) {
    struct Expected {
        std::string_view control;
        bool tabStop;
        bool group;
    };
    for (const Expected& e : {
             Expected{"Command5", true, true},
             Expected{"Command6", true, false},
             Expected{"Frame2", false, true},
             Expected{"Check1", true, true},
             Expected{"Label5", false, false},
             Expected{"Check2", true, false},
             Expected{"Frame1", false, true},
             Expected{"Label3", false, true},
             Expected{"Text1", true, false},
             Expected{"List1", true, false},
             Expected{"pctHotkey", false, true},
             Expected{"StatusBar1", false, false},
         }) {
        SCOPED_TRACE(std::string(e.control));
        EXPECT_EQ((StyleOf(Hwnd(e.control)) & WS_TABSTOP) != 0, e.tabStop);
        EXPECT_EQ((StyleOf(Hwnd(e.control)) & WS_GROUP) != 0, e.group);
    }
    // Z order is the order Tab walks.
    HWND child = ::GetWindow(form_->Hwnd(), GW_CHILD);
    for (const ControlDesign& control : kForm1Design.controls) {
        ASSERT_EQ(child, Hwnd(control.name)) << control.name;
        child = ::GetWindow(child, GW_HWNDNEXT);
    }
}

TEST_F(MainWindow, TabMovesTheFocusThroughTheMessageLoop) {
    ::SetFocus(Hwnd("Text1"));
    ASSERT_EQ(::GetFocus(), Hwnd("Text1"));
    ::PostMessageW(Hwnd("Text1"), WM_KEYDOWN, VK_TAB, 1);
    Pump();
    EXPECT_EQ(::GetFocus(), Hwnd("Command1"));
}

TEST_F(MainWindow, MenuBarHoldsTheVisibleMenusInTableOrder) {
    const HMENU bar = ::GetMenu(form_->Hwnd());
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(::GetMenuItemCount(bar), 5);
    const wchar_t* captions[] = {L"File", L"Action", L"Tools", L"Help", L"About"};
    for (int i = 0; i < 5; ++i) {
        wchar_t text[64] = {};
        ::GetMenuStringW(bar, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, captions[i]);
    }
    const HMENU file = ::GetSubMenu(bar, 0);
    ASSERT_EQ(::GetMenuItemCount(file), 3);
    EXPECT_EQ(::GetMenuItemID(file, 2),
              static_cast<UINT>(quell::design::MenuItemId(kForm1Design, "mnuFileItem", 1)))
        << "Exit stays last";
    const HMENU action = ::GetSubMenu(bar, 1);
    ASSERT_EQ(::GetMenuItemCount(action), 3);
    EXPECT_EQ(::GetMenuItemID(action, 1),
              static_cast<UINT>(quell::design::MenuItemId(kForm1Design, "mnuActionItem", 1)));
    wchar_t text[64] = {};
    ::GetMenuStringW(action, 1, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"Allow the Next Popup (Win-Z)");
}

TEST_F(MainWindow, EveryMenuCommandRaisesClickWithTheItemsNameAndIndex) {
    for (const auto& item : kForm1Design.menuItems) {
        seen_.clear();
        const int id = quell::design::MenuItemId(kForm1Design, item.name, item.index);
        ::SendMessageW(form_->Hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
        EXPECT_EQ(seen_,
                  (std::vector<Seen>{{EventKind::Click, std::string(item.name), item.index}}))
            << item.caption;
    }
}

TEST_F(MainWindow, PopupMenuChoiceRaisesClickAndTheLoopGetsANullMessage) {
    // Queued before the menu opens: its loop reads them as the user's keys.
    ::PostMessageW(form_->Hwnd(), WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(form_->Hwnd(), WM_KEYDOWN, VK_RETURN, 0);
    // Should the keys not reach the menu, the test must not hang.
    const UINT_PTR guard =
        ::SetTimer(nullptr, 0, 3000, [](HWND, UINT, UINT_PTR, DWORD) { ::EndMenu(); });
    EXPECT_TRUE(form_->ShowPopupMenu("Popup", {100, 100}));
    ::KillTimer(nullptr, guard);

    bool nullSeen = false;
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        nullSeen |= message.message == WM_NULL && message.hwnd == form_->Hwnd();
        ::DispatchMessageW(&message);
    }
    EXPECT_TRUE(nullSeen);
    EXPECT_EQ(seen_, (std::vector<Seen>{{EventKind::Click, "close", -1}}));
}

// Names are checked when the program is compiled; a reference made by hand, or taken from
// another window's table, is still caught.
TEST_F(MainWindow, ReferencesNotInTheTableAreProgrammingErrors) {
    using quell::design::ControlKind;
    EXPECT_THROW(form_->Check({99}), std::invalid_argument);
    EXPECT_THROW(form_->Check({f1::List1.index}), std::invalid_argument);  // wrong kind
    EXPECT_THROW(form_->List({f1::Text1.index}), std::invalid_argument);
    EXPECT_THROW(form_->Status({f1::Label1.index}), std::invalid_argument);
    EXPECT_THROW(form_->Rich({f1::Text1.index}), std::invalid_argument);
    EXPECT_THROW(form_->Text(quell::design::ControlRef<ControlKind::Label>{-1}),
                 std::invalid_argument);
    EXPECT_THROW(form_->ControlHandle(quell::design::PictureRef{99}), std::invalid_argument);
    EXPECT_THROW(form_->ShowPopupMenu("mnuFile", {0, 0}), std::invalid_argument);  // menu bar
    EXPECT_THROW(form_->ShowPopupMenu("Tray", {0, 0}), std::invalid_argument);
}

TEST(BoxLabels, ThatDoNotPairALabelWithACheckBoxAreProgrammingErrors) {
    for (const quell::design::BoxLabelDesign pair :
         {quell::design::BoxLabelDesign{"Label5", "List1"},
          {"Check1", "Check1"},
          {"Nothing", "Check1"}}) {
        WindowDesign design = kForm1Design;
        design.boxLabels = {&pair, 1};
        EXPECT_THROW(DesignedWindow(design, nullptr), std::invalid_argument) << pair.label;
    }
}

TEST_F(MainWindow, AWrongReferenceInsideAHandlerStopsTheProgramWithItsMessage) {
    // Outside a window procedure the exception reaches the caller (above); inside one it
    // cannot cross Windows, so the program says what went wrong and stops.
    form_->SetEventHandler([this](const Event&) { form_->Check({99}); });
    EXPECT_DEATH(::SendMessageW(Hwnd("Command1"), BM_CLICK, 0, 0), "Form1 has no control #99");
}

TEST_F(MainWindow, ProgramSetCheckValueRaisesClickOnlyWhenItChanges) {
    platform::CheckBox& box = form_->Check(f1::Check1);
    std::vector<int> valuesAtClick;
    form_->SetEventHandler([&](const Event& event) {
        seen_.push_back(Record(event));
        valuesAtClick.push_back(box.Value());
    });
    struct Step {
        int set;
        int value;   // afterwards
        int clicks;  // raised by this step
    };
    for (const Step& step : {Step{1, 1, 1}, Step{1, 1, 0}, Step{0, 0, 1}, Step{0, 0, 0},
                             Step{5, 0, 0}, Step{-1, 0, 0}, Step{2, 2, 1}, Step{1, 1, 1}}) {
        seen_.clear();
        valuesAtClick.clear();
        box.SetValue(step.set);
        EXPECT_EQ(box.Value(), step.value) << "set " << step.set;
        EXPECT_EQ(::SendMessageW(Hwnd("Check1"), BM_GETCHECK, 0, 0), step.value) << "shown";
        EXPECT_EQ(seen_, std::vector<Seen>(static_cast<std::size_t>(step.clicks),
                                           Seen{EventKind::Click, "Check1"}))
            << "set " << step.set;
        // The handler already sees the new value, as for a user's click.
        EXPECT_EQ(valuesAtClick,
                  std::vector<int>(static_cast<std::size_t>(step.clicks), step.value));
    }
}

TEST_F(MainWindow, UserClickTogglesTheBoxAndRaisesOneClick) {
    platform::CheckBox& box = form_->Check(f1::Check2);
    for (const int expected : {1, 0, 1}) {
        seen_.clear();
        ::SendMessageW(Hwnd("Check2"), BM_CLICK, 0, 0);
        EXPECT_EQ(box.Value(), expected);
        EXPECT_EQ(seen_, (std::vector<Seen>{{EventKind::Click, "Check2"}}));
    }
    box.SetValue(2);
    ::SendMessageW(Hwnd("Check2"), BM_CLICK, 0, 0);
    EXPECT_EQ(box.Value(), 1);  // grey counts as off: a click ticks it
}

void ClickLabel(HWND label) {
    ::SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::SendMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

TEST_F(MainWindow, ButtonsAndLabelsRaiseClick) {
    ::SendMessageW(Hwnd("Command1"), BM_CLICK, 0, 0);
    ClickLabel(Hwnd("Label3"));
    EXPECT_EQ(seen_,
              (std::vector<Seen>{{EventKind::Click, "Command1"}, {EventKind::Click, "Label3"}}));
    // A switch's label gives its box the focus, as the box's own caption would.
    ClickLabel(Hwnd("Label8"));
    EXPECT_EQ(::GetFocus(), Hwnd("Check4"));
}

TEST_F(MainWindow, StatusBarClickCarriesThePanelNumberedFromOne) {
    form_->Status(f1::StatusBar1).AddPanel();
    form_->Status(f1::StatusBar1).AddPanel();
    for (const auto& [part, panel] : {std::pair{0, 1}, {1, 2}, {-1, 0}}) {
        seen_.clear();
        NMMOUSE click{};
        click.hdr = {Hwnd("StatusBar1"), 0, static_cast<UINT>(NM_CLICK)};
        click.dwItemSpec = static_cast<DWORD_PTR>(part);
        ::SendMessageW(form_->Hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
        EXPECT_EQ(seen_, (std::vector<Seen>{{EventKind::Click, "StatusBar1", panel}}));
    }
}

struct KeyCase {
    std::string_view control;
    WPARAM key;
    std::vector<Seen> expected;
};

class KeysThroughTheLoop : public MainWindow, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeysThroughTheLoop, RaiseTheirEventsOnce) {
    const KeyCase& c = GetParam();
    ::SetFocus(Hwnd(c.control));
    ASSERT_EQ(::GetFocus(), Hwnd(c.control));
    ::PostMessageW(Hwnd(c.control), WM_KEYDOWN, c.key, 1);
    ::PostMessageW(Hwnd(c.control), WM_KEYUP, c.key, 0xC0000001);
    Pump();
    EXPECT_EQ(seen_, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    MainWindowKeys, KeysThroughTheLoop,
    ::testing::Values(KeyCase{"Text1", VK_RETURN, {{EventKind::EnterKey, "Text1"}}},
                      KeyCase{"Text2", VK_RETURN, {{EventKind::EnterKey, "Text2"}}},
                      KeyCase{"List1", VK_DELETE, {{EventKind::DeleteKey, "List1"}}},
                      KeyCase{"List2", VK_DELETE, {{EventKind::DeleteKey, "List2"}}},
                      KeyCase{"Check1", VK_ESCAPE, {{EventKind::EscapeKey, ""}}},
                      KeyCase{"Text1", VK_ESCAPE, {{EventKind::EscapeKey, ""}}},
                      KeyCase{"List1", VK_ESCAPE, {{EventKind::EscapeKey, ""}}},
                      // Enter on a focused button clicks it.
                      KeyCase{"Command1", VK_RETURN, {{EventKind::Click, "Command1"}}},
                      KeyCase{"Text1", VK_DELETE, {}}, KeyCase{"List1", VK_RETURN, {}}),
    [](const auto& test) {
        return std::string(test.param.control) + "_" + std::to_string(test.param.key);
    });

TEST_F(MainWindow, KeysSentStraightToAControlRaiseTheSameEvents) {
    ::SendMessageW(Hwnd("Text1"), WM_KEYDOWN, VK_RETURN, 1);
    ::SendMessageW(Hwnd("List2"), WM_KEYDOWN, VK_DELETE, 1);
    ::SendMessageW(Hwnd("Check3"), WM_KEYDOWN, VK_ESCAPE, 1);
    ::SendMessageW(form_->Hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(seen_, (std::vector<Seen>{{EventKind::EnterKey, "Text1"},
                                        {EventKind::DeleteKey, "List2"},
                                        {EventKind::EscapeKey, ""},
                                        {EventKind::EscapeKey, ""}}));
}

TEST_F(MainWindow, PostedMouseMoveToTheHotKeyTargetRaisesMouseMove) {
    ::PostMessageW(Hwnd("pctHotkey"), WM_MOUSEMOVE, 0, 0);
    Pump();
    EXPECT_EQ(seen_, (std::vector<Seen>{{EventKind::MouseMove, "pctHotkey", -1, 0, 0}}));
}

TEST_F(MainWindow, StatusBarPanelsAreAddedSizedInTwipsAndWritten) {
    platform::StatusBar& bar = form_->Status(f1::StatusBar1);
    const HWND hwnd = Hwnd("StatusBar1");
    auto panelText = [&](int part) {
        wchar_t text[256] = {};
        ::SendMessageW(hwnd, SB_GETTEXTW, static_cast<WPARAM>(part),
                       reinterpret_cast<LPARAM>(text));
        return Narrow(text);
    };
    auto edges = [&] {
        int parts[8] = {};
        const auto count = ::SendMessageW(hwnd, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(parts));
        return std::vector<int>(parts, parts + count);
    };

    EXPECT_EQ(bar.PanelCount(), 0);
    bar.SetPanelText(2, "dropped");  // no such panel yet
    EXPECT_EQ(panelText(1), "");

    bar.AddPanel();
    bar.AddPanel();
    EXPECT_EQ(bar.PanelCount(), 2);
    const int half = form_->ClientWidthTwips() / 2;
    bar.SetPanelWidth(1, half);
    bar.SetPanelWidth(2, half);
    const int dpi = static_cast<int>(form_->Dpi());
    const int width = quell::design::TwipsToPixels(half, dpi);
    EXPECT_EQ(edges(), (std::vector<int>{width, 2 * width}));

    bar.SetPanelText(1, "0 Popups blocked to date");
    platform::SetStatus(bar, "Now blocking popups");
    bar.SetPanelText(3, "dropped");
    EXPECT_EQ(panelText(0), "0 Popups blocked to date");
    EXPECT_EQ(panelText(1), "Now blocking popups");
    EXPECT_EQ(TextOf(hwnd), "0 Popups blocked to date");  // what a driver reads

    RECT suggested{};
    ::GetWindowRect(form_->Hwnd(), &suggested);
    ::SendMessageW(form_->Hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                   reinterpret_cast<LPARAM>(&suggested));
    const int scaled = quell::design::TwipsToPixels(half, 144);
    EXPECT_EQ(edges(), (std::vector<int>{scaled, 2 * scaled}));
    EXPECT_EQ(panelText(1), "Now blocking popups");
}

TEST_F(MainWindow, TextAndListAdaptersReadAndWriteTheControls) {
    form_->Text(f1::Command7).SetText("Visit example.com");
    EXPECT_EQ(TextOf(Hwnd("Command7")), "Visit example.com");
    form_->Text(f1::Text1).SetText("caf\xC3\xA9.example");  // UTF-8 in, UTF-16 in the control
    EXPECT_EQ(form_->Text(f1::Text1).Text(), "caf\xC3\xA9.example");

    platform::ListBox& list = form_->List(f1::List1);
    for (const char* site : {"b.example", "a.example", "c.example"}) {
        list.AddItem(site);
    }
    EXPECT_EQ(list.ListCount(), 3);
    EXPECT_EQ(list.List(0), "b.example");  // unsorted: in the order added
    ::SendMessageW(Hwnd("List1"), LB_SETCURSEL, 2, 0);
    EXPECT_TRUE(list.Selected(2));
    EXPECT_FALSE(list.Selected(0));
    list.RemoveItem(0);
    EXPECT_EQ(list.ListCount(), 2);
    EXPECT_EQ(list.List(1), "c.example");
    EXPECT_EQ(list.List(5), "");
    EXPECT_FALSE(list.Selected(-1));
}

TEST_F(MainWindow, FirstShowRaisesOneResizeAndStateChangesRaiseMore) {
    RecordStatesOnResize();
    form_->Show();
    EXPECT_EQ(states_, (std::vector<WindowState>{WindowState::Normal}));
    EXPECT_TRUE(form_->Visible());
    form_->Show();  // already shown: nothing more
    EXPECT_EQ(states_.size(), 1u);

    form_->SetState(WindowState::Minimized);
    ASSERT_FALSE(states_.empty());
    EXPECT_EQ(states_.back(), WindowState::Minimized);
    form_->Hide();
    EXPECT_FALSE(form_->Visible());
    EXPECT_EQ(form_->State(), WindowState::Minimized);

    states_.clear();
    form_->SetState(WindowState::Normal);
    EXPECT_TRUE(form_->Visible());
    EXPECT_EQ(form_->State(), WindowState::Normal);
    ASSERT_FALSE(states_.empty());
    EXPECT_EQ(states_.back(), WindowState::Normal);
}

TEST_F(MainWindow, StateSetBeforeTheFirstShowIsTakenWhenShown) {
    RecordStatesOnResize();
    form_->SetState(WindowState::Minimized);
    EXPECT_FALSE(form_->Visible());
    EXPECT_EQ(form_->State(), WindowState::Minimized);
    EXPECT_TRUE(states_.empty());
    form_->Show();
    EXPECT_EQ(states_, (std::vector<WindowState>{WindowState::Minimized}));
    EXPECT_TRUE(::IsIconic(form_->Hwnd()));
}

TEST_F(MainWindow, CloseAsksTheControllerAndDoesNotDestroy) {
    ::SendMessageW(form_->Hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(seen_, (std::vector<Seen>{{EventKind::QueryClose, ""}}));
    EXPECT_TRUE(form_->IsLoaded());
    EXPECT_TRUE(::IsWindow(form_->Hwnd()));
}

TEST_F(MainWindow, SessionEndIsReportedOnlyWhenItHappens) {
    EXPECT_EQ(::SendMessageW(form_->Hwnd(), WM_QUERYENDSESSION, 0, 0), TRUE);
    ::SendMessageW(form_->Hwnd(), WM_ENDSESSION, FALSE, 0);
    EXPECT_TRUE(seen_.empty());
    ::SendMessageW(form_->Hwnd(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(seen_, (std::vector<Seen>{{EventKind::EndSession, ""}}));
}

TEST_F(MainWindow, TimerTicksCarryTheirIdUntilStopped) {
    form_->StartTimer(7, 10);
    ASSERT_TRUE(PumpUntil([&] { return !seen_.empty(); }));
    EXPECT_EQ(seen_.front(), (Seen{EventKind::Timer, "", 7}));
    form_->StopTimer(7);
    Pump();
    seen_.clear();
    ::Sleep(50);
    Pump();
    EXPECT_TRUE(seen_.empty());
}

TEST_F(MainWindow, ClientWidthIsReportedInTwips) {
    EXPECT_NEAR(form_->ClientWidthTwips(), kForm1Design.clientWidth,
                quell::design::kTwipsPerInch / static_cast<int>(form_->Dpi()));
}

struct UnloadCase {
    const char* name;
    std::function<void(DesignedWindow&)> trigger;
};

class UnloadInsideAHandler : public MainWindow, public ::testing::WithParamInterface<UnloadCase> {};

TEST_P(UnloadInsideAHandler, IsSafeAndTheFormLoadsAgain) {
    int events = 0;
    form_->SetEventHandler([&](const Event&) {
        ++events;
        form_->Unload();
    });
    const HWND before = form_->Hwnd();
    const HWND button = Hwnd("Command1");
    GetParam().trigger(*form_);
    Pump();

    EXPECT_EQ(events, 1);
    EXPECT_FALSE(form_->IsLoaded());
    EXPECT_EQ(form_->Handle(), 0u);
    EXPECT_FALSE(::IsWindow(before));
    EXPECT_FALSE(::IsWindow(button));
    // The adapters outlive the window and act on nothing until the next load.
    form_->Check(f1::Check1).SetValue(1);
    EXPECT_EQ(form_->Check(f1::Check1).Value(), 0);
    EXPECT_EQ(form_->Text(f1::Text1).Text(), "");
    EXPECT_EQ(events, 1);

    ASSERT_TRUE(form_->Load());
    EXPECT_TRUE(::IsWindow(form_->Hwnd()));
    ::SendMessageW(Hwnd("Command1"), BM_CLICK, 0, 0);
    EXPECT_EQ(events, 2);
    EXPECT_FALSE(form_->IsLoaded());
}

INSTANTIATE_TEST_SUITE_P(
    EveryKindOfEvent, UnloadInsideAHandler,
    ::testing::Values(
        UnloadCase{"ButtonClick",
                   [](DesignedWindow& form) {
                       ::SendMessageW(form.ControlHwnd("Command1"), BM_CLICK, 0, 0);
                   }},
        UnloadCase{"CheckBoxSetByTheProgram",
                   [](DesignedWindow& form) { form.Check(f1::Check5).SetValue(1); }},
        UnloadCase{"MenuCommand",
                   [](DesignedWindow& form) {
                       ::SendMessageW(
                           form.Hwnd(), WM_COMMAND,
                           MAKEWPARAM(quell::design::MenuItemId(kForm1Design, "mnuFileItem", 1), 0),
                           0);
                   }},
        UnloadCase{"CloseBox",
                   [](DesignedWindow& form) { ::SendMessageW(form.Hwnd(), WM_CLOSE, 0, 0); }},
        UnloadCase{"EnterInATextBox",
                   [](DesignedWindow& form) {
                       ::PostMessageW(form.ControlHwnd("Text1"), WM_KEYDOWN, VK_RETURN, 1);
                   }},
        UnloadCase{"HotKeyTarget",
                   [](DesignedWindow& form) {
                       ::PostMessageW(form.ControlHwnd("pctHotkey"), WM_MOUSEMOVE, 0, 0);
                   }}),
    [](const auto& test) { return std::string(test.param.name); });

// Small designs for what the two real tables do not have.
constexpr ControlDesign kOneLabel[] = {
    {"Label1", ControlKind::Label, "", 120, 120, 1500, 255, "Hello", "", kVerdana},
    {"Hidden", ControlKind::TextBox, "", 120, 480, 1500, 285, "", "", kVerdana, {}, false},
};

struct BorderCase {
    const char* name;
    Border border;
    bool minButton;
    bool showInTaskbar;
    DWORD present;
    DWORD absent;
    DWORD exPresent;
    DWORD exAbsent;
    bool owned;
};

class WindowBorder : public ::testing::TestWithParam<BorderCase> {};

TEST_P(WindowBorder, GivesTheFrameTaskbarPresenceAndCentredClientSize) {
    const BorderCase& c = GetParam();
    const WindowDesign design{"Custom",        "Caption", 3000, 1500,     c.border, c.minButton,
                              c.showInTaskbar, true,      "",   kVerdana, kOneLabel};
    Win32Toolkit toolkit;
    const auto form = toolkit.CreateDesignedWindow(design);
    ASSERT_TRUE(form->Load());
    const HWND window = form->Hwnd();
    EXPECT_EQ(StyleOf(window) & c.present, c.present);
    EXPECT_EQ(StyleOf(window) & c.absent, 0u);
    EXPECT_EQ(ExStyleOf(window) & c.exPresent, c.exPresent);
    EXPECT_EQ(ExStyleOf(window) & c.exAbsent, 0u);
    const HWND owner = ::GetWindow(window, GW_OWNER);
    EXPECT_EQ(owner != nullptr, c.owned);
    if (owner != nullptr) {
        EXPECT_FALSE(::IsWindowVisible(owner));
    }

    RECT client{};
    ::GetClientRect(window, &client);
    const SIZE size = ClientSizePixels(design, form->Dpi());
    EXPECT_EQ(client.right, size.cx);
    EXPECT_EQ(client.bottom, size.cy);
    RECT frame{};
    RECT work{};
    ::GetWindowRect(window, &frame);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(frame.left + frame.right, work.left + work.right, 1);
    EXPECT_NEAR(frame.top + frame.bottom, work.top + work.bottom, 1);

    EXPECT_TRUE(StyleOf(form->ControlHwnd("Label1")) & WS_VISIBLE);
    EXPECT_FALSE(StyleOf(form->ControlHwnd("Hidden")) & WS_VISIBLE);
}

INSTANTIATE_TEST_SUITE_P(
    EveryBorder, WindowBorder,
    ::testing::Values(
        BorderCase{"Sizable", Border::Sizable, true, true,
                   WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, WS_POPUP, 0,
                   WS_EX_TOOLWINDOW, false},
        BorderCase{"FixedSingleWithMinimise", Border::FixedSingle, true, true,
                   WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, WS_THICKFRAME | WS_MAXIMIZEBOX, 0,
                   WS_EX_TOOLWINDOW, false},
        BorderCase{"FixedSingle", Border::FixedSingle, false, true, WS_CAPTION | WS_SYSMENU,
                   WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0, 0, false},
        // Not in the taskbar with a caption: a hidden owner keeps the ordinary title bar.
        BorderCase{"FixedDialogOffTheTaskbar", Border::FixedDialog, true, false,
                   WS_CAPTION | WS_SYSMENU, WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
                   WS_EX_DLGMODALFRAME, WS_EX_TOOLWINDOW, true},
        BorderCase{"NoneOffTheTaskbar", Border::None, false, false, WS_POPUP, WS_CAPTION,
                   WS_EX_TOOLWINDOW, 0, false}),
    [](const auto& test) { return std::string(test.param.name); });

// Whether `upper` is above `lower` in the z-order.
bool Above(HWND upper, HWND lower) {
    for (HWND next = ::GetWindow(upper, GW_HWNDNEXT); next != nullptr;
         next = ::GetWindow(next, GW_HWNDNEXT)) {
        if (next == lower) {
            return true;
        }
    }
    return false;
}

TEST(BringToFront, PutsAnOpenWindowInFrontOfTheOthersAgain) {
    Win32Toolkit toolkit;
    const auto about = toolkit.CreateDesignedWindow(kAboutDesign);
    const auto help = toolkit.CreateDesignedWindow(kHelpDesign);
    about->Show();
    help->Show();
    ASSERT_TRUE(Above(help->Hwnd(), about->Hwnd()));
    about->BringToFront();
    EXPECT_TRUE(Above(about->Hwnd(), help->Hwnd()));
    EXPECT_EQ(::GetForegroundWindow(), about->Hwnd());
}

TEST(PromptWindow, IsAFixedDialogWithItsCaptionAndNoMinimiseBox) {
    Win32Toolkit toolkit;
    const auto form = toolkit.CreateDesignedWindow(kForm3Design);
    ASSERT_TRUE(form->Load());
    EXPECT_EQ(TextOf(form->Hwnd()), "Popup Detected!");
    EXPECT_TRUE(ExStyleOf(form->Hwnd()) & WS_EX_DLGMODALFRAME);
    EXPECT_FALSE(StyleOf(form->Hwnd()) & WS_MINIMIZEBOX);
    EXPECT_EQ(::GetMenu(form->Hwnd()), nullptr);
    // The prompt's site is written and read through its text box.
    form->Text(quell::design::Form3Controls::Text1).SetText("popups.example");
    EXPECT_EQ(form->Text(quell::design::Form3Controls::Text1).Text(), "popups.example");
}

// The program's manifest asks for version 6 of the common controls, which alone shows
// pictures on push buttons; the test program has no manifest, so it activates one.
class CommonControls6 {
  public:
    CommonControls6() {
        wchar_t folder[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, folder);
        path_ = std::wstring(folder) + L"quell-ui-cc6.manifest";
        const char manifest[] =
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
            "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">"
            "<dependency><dependentAssembly><assemblyIdentity type=\"win32\" "
            "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" "
            "processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>"
            "</dependentAssembly></dependency></assembly>";
        const HANDLE file = ::CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        ::WriteFile(file, manifest, sizeof manifest - 1, &written, nullptr);
        ::CloseHandle(file);
        ACTCTXW context{};
        context.cbSize = sizeof context;
        context.lpSource = path_.c_str();
        context_ = ::CreateActCtxW(&context);
        if (context_ != INVALID_HANDLE_VALUE) {
            ::ActivateActCtx(context_, &cookie_);
        }
    }
    ~CommonControls6() {
        if (context_ != INVALID_HANDLE_VALUE) {
            ::DeactivateActCtx(0, cookie_);
            ::ReleaseActCtx(context_);
        }
        ::DeleteFileW(path_.c_str());
    }
    bool Active() const { return context_ != INVALID_HANDLE_VALUE; }

  private:
    std::wstring path_;
    HANDLE context_ = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie_ = 0;
};

TEST(ButtonPicture, MissingResourceLeavesTheCaptionOnly) {
    const CommonControls6 controls;
    Win32Toolkit toolkit(::GetModuleHandleW(nullptr));  // the test program has no pictures
    const auto form = toolkit.CreateDesignedWindow(kForm3Design);
    ASSERT_TRUE(form->Load());
    const HWND button = form->ControlHwnd("Command1");
    BUTTON_IMAGELIST images{};
    ::SendMessageW(button, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images));
    EXPECT_EQ(images.himl, nullptr);
    EXPECT_EQ(TextOf(button), "Allow Always");
    EXPECT_EQ(::SendMessageW(form->Hwnd(), WM_GETICON, ICON_BIG, 0), 0);
}

TEST(ButtonPicture, PresentResourceIsTheWindowIconAndIsLoadedAtTheDpiSize) {
    // user32 carries the standard icons under numeric names.
    const HINSTANCE user32 = ::GetModuleHandleW(L"user32.dll");
    static constexpr ControlDesign kButton[] = {
        {"Command1", ControlKind::Button, "", 60, 60, 1455, 855, "Allow Always", "", kVerdana,
         "#32516"},
    };
    const WindowDesign design{"Pictures", "",   3000, 1500,     Border::FixedSingle,
                              false,      true, true, "#32512", kVerdana,
                              kButton};
    Win32Toolkit toolkit(user32);
    const auto form = toolkit.CreateDesignedWindow(design);
    ASSERT_TRUE(form->Load());
    const auto big = reinterpret_cast<HICON>(::SendMessageW(form->Hwnd(), WM_GETICON, ICON_BIG, 0));
    ASSERT_NE(big, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(big, &info));
    BITMAP mask{};
    ::GetObjectW(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, ::GetSystemMetrics(SM_CXICON));
    ::DeleteObject(info.hbmMask);
    ::DeleteObject(info.hbmColor);
    EXPECT_NE(::SendMessageW(form->Hwnd(), WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_EQ(TextOf(form->ControlHwnd("Command1")), "Allow Always");
}

// The face Wine selected for the font a control holds.
std::wstring SelectedFace(HWND control) {
    const WindowDc dc(control);
    const SelectedObject font(dc.get(),
                              reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    wchar_t face[LF_FACESIZE] = {};
    ::GetTextFaceW(dc.get(), LF_FACESIZE, face);
    return face;
}

// A button as it paints itself, one pixel per value, row after row.
struct Painting {
    int width = 0;
    std::vector<std::uint32_t> pixels;
};

Painting Paint(HWND button) {
    RECT client{};
    ::GetClientRect(button, &client);
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof info.bmiHeader, client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const UniqueDc memory(::CreateCompatibleDC(nullptr));
    const HDC dc = memory.get();
    const UniqueBitmap bitmap(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const SelectedObject selected(dc, bitmap.get());
    ::SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                   PRF_CLIENT | PRF_ERASEBKGND);
    ::GdiFlush();
    Painting painting{client.right, {}};
    const auto* first = static_cast<const std::uint32_t*>(bits);
    painting.pixels.assign(first, first + client.right * client.bottom);
    return painting;
}

// The first and last rows in which two paintings of one button differ; {-1, -1} for none.
std::pair<int, int> RowsThatDiffer(const Painting& one, const Painting& other) {
    std::pair rows{-1, -1};
    for (std::size_t i = 0; i < one.pixels.size() && i < other.pixels.size(); ++i) {
        if (one.pixels[i] != other.pixels[i]) {
            const int row = static_cast<int>(i) / one.width;
            rows = {rows.first < 0 ? row : rows.first, row};
        }
    }
    return rows;
}

// The rows the caption's ink takes: the button painted with and without its caption.
std::pair<int, int> CaptionRows(HWND button) {
    const std::wstring caption = WindowText(button);
    const Painting full = Paint(button);
    ::SetWindowTextW(button, L"");
    const Painting bare = Paint(button);
    ::SetWindowTextW(button, caption.c_str());
    return RowsThatDiffer(full, bare);
}

// The picture shows whole above the caption, and the caption keeps every line it shows on a
// button tall enough for any caption.
void ExpectPictureAndWholeCaption(HWND button) {
    BUTTON_IMAGELIST images{};
    ASSERT_TRUE(::SendMessageW(button, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images)));
    ASSERT_NE(images.himl, nullptr) << "no picture";
    EXPECT_EQ(images.uAlign, static_cast<UINT>(BUTTON_IMAGELIST_ALIGN_TOP));
    EXPECT_EQ(::ImageList_GetImageCount(images.himl), 1);

    const std::wstring caption = WindowText(button);
    ::SetWindowTextW(button, L"");
    const Painting withPicture = Paint(button);
    BUTTON_IMAGELIST none{nullptr, {}, BUTTON_IMAGELIST_ALIGN_TOP};
    ::SendMessageW(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&none));
    const Painting empty = Paint(button);
    ::SendMessageW(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images));
    ::SetWindowTextW(button, caption.c_str());
    const auto picture = RowsThatDiffer(withPicture, empty);
    const auto text = CaptionRows(button);

    RECT client{};
    ::GetClientRect(button, &client);
    ::SetWindowPos(button, nullptr, 0, 0, client.right, client.bottom * 3,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const auto tall = CaptionRows(button);
    ::SetWindowPos(button, nullptr, 0, 0, client.right, client.bottom,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    ASSERT_GE(picture.first, 0) << "no picture drawn";
    ASSERT_GE(text.first, 0) << "no caption drawn";
    EXPECT_GT(text.first, picture.second) << "the caption runs into the picture";
    EXPECT_EQ(text.second - text.first, tall.second - tall.first) << "the caption is cut off";
}

// A copy of a design whose fonts name another face, at their own sizes and weights.
struct Refaced {
    std::vector<ControlDesign> controls;
    WindowDesign design;
};

Refaced WithFace(const WindowDesign& original, std::string_view face) {
    Refaced copy{{original.controls.begin(), original.controls.end()}, original};
    for (ControlDesign& control : copy.controls) {
        if (!control.font.face.empty()) {
            control.font.face = face;
        }
    }
    copy.design.font.face = face;
    copy.design.controls = copy.controls;
    return copy;
}

TEST(ButtonPicture, EveryPictureAndWholeCaptionShowWhateverFontAndDpi) {
    const CommonControls6 controls;
    ASSERT_TRUE(controls.Active());
    const UniqueModule program(::LoadLibraryExW(Widen(QUELL_BIN_DIR "/QuellPane.exe").c_str(),
                                                nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_NE(program.get(), nullptr);
    Win32Toolkit toolkit(program.get());
    std::set<std::wstring> faces;  // what Wine selected for each face asked for
    for (const WindowDesign* original : {&kForm1Design, &kForm3Design, &kSplashDesign, &kHelpDesign,
                                         &kAboutDesign, &kWebsiteDesign}) {
        if (std::none_of(original->controls.begin(), original->controls.end(),
                         [](const ControlDesign& control) { return !control.picture.empty(); })) {
            continue;
        }
        // The designs' own face, whatever stands in for it, and faces of other widths.
        for (const std::string_view face : {"", "DejaVu Serif", "DejaVu Sans Mono"}) {
            const Refaced refaced = WithFace(*original, face.empty() ? original->font.face : face);
            const auto form = toolkit.CreateDesignedWindow(refaced.design);
            ASSERT_TRUE(form->Load());
            for (const UINT dpi : {96u, 144u}) {
                if (dpi != form->Dpi()) {
                    RECT rect{};
                    ::GetWindowRect(form->Hwnd(), &rect);
                    ::SendMessageW(form->Hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                                   reinterpret_cast<LPARAM>(&rect));
                }
                for (const ControlDesign& control : refaced.controls) {
                    if (control.kind != ControlKind::Button || control.picture.empty()) {
                        continue;
                    }
                    const HWND button = form->ControlHwnd(control.name);
                    SCOPED_TRACE(std::string(original->name) + " " + std::string(control.name) +
                                 " in " + std::string(face) + " at " + std::to_string(dpi));
                    faces.insert(SelectedFace(button));
                    ExpectPictureAndWholeCaption(button);
                }
            }
            form->Unload();
        }
    }
    EXPECT_GE(faces.size(), 3u) << "too few faces tried to show that the fit holds for any";
}

TEST(PictureBox, RegisteredPainterDrawsThePictureAndTheLabelsOnIt) {
    static constexpr ControlDesign kBanner[] = {
        {"Picture1", ControlKind::PictureBox, "", 0, 0, 1500, 750, "", "", kVerdana, "banner"},
        {"Label1",
         ControlKind::Label,
         "Picture1",
         150,
         150,
         900,
         300,
         "Product",
         "",
         kVerdanaBold,
         {},
         true,
         quell::design::Rgb(0, 0, 255)},
    };
    const WindowDesign design{"About", "", 3000,     1500,   Border::FixedSingle, false, true,
                              true,    "", kVerdana, kBanner};
    struct Call {
        RECT client;
        POINT origin;
        UINT dpi;
    };
    std::vector<Call> calls;
    Win32Toolkit toolkit;
    const auto form = toolkit.CreateDesignedWindow(design);
    toolkit.RegisterPainter("banner", [&](HDC dc, const RECT& client, UINT dpi) {
        POINT origin{};
        ::GetViewportOrgEx(dc, &origin);
        calls.push_back({client, origin, dpi});
    });
    ASSERT_TRUE(form->Load());
    form->Show();
    ::UpdateWindow(form->Hwnd());
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().client.right, 100);
    EXPECT_EQ(calls.front().client.bottom, 50);
    EXPECT_EQ(calls.front().dpi, form->Dpi());

    const HWND label = form->ControlHwnd("Label1");
    EXPECT_EQ(::GetWindow(label, GW_HWNDNEXT), form->ControlHwnd("Picture1"));  // above it
    calls.clear();
    const WindowDc dc(label);
    const auto brush =
        ::SendMessageW(form->Hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                       reinterpret_cast<LPARAM>(label));
    EXPECT_EQ(::GetTextColor(dc.get()), RGB(0, 0, 255));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].origin.x, -10);  // the picture drawn behind the label's own origin
    EXPECT_EQ(calls[0].origin.y, -10);
}

TEST(RichText, LoadsAnRtfFileAndReportsAnUnreadableOne) {
    static constexpr ControlDesign kHelp[] = {
        {"rtf1", ControlKind::RichText, "", 0, 0, 3000, 1500, "placeholder", "", kVerdana},
    };
    static constexpr WindowDesign design{"Form8", "Readme/Help", 3000, 1500, Border::FixedDialog,
                                         false,   false,         true, "",   kVerdana,
                                         kHelp};
    constexpr auto rtf1 = quell::design::Control<ControlKind::RichText>(design, "rtf1");
    Win32Toolkit toolkit;
    const auto form = toolkit.CreateDesignedWindow(design);
    ASSERT_TRUE(form->Load());
    EXPECT_TRUE(StyleOf(form->ControlHwnd("rtf1")) & ES_READONLY);

    quell::testing::TempFolder folder;
    folder.Write("Help.rtf", "{\\rtf1\\ansi {\\b Popups} are blocked.\\par}");
    EXPECT_TRUE(form->Rich(rtf1).LoadFile(folder.File("Help.rtf")));
    EXPECT_EQ(TextOf(form->ControlHwnd("rtf1")).rfind("Popups are blocked.", 0), 0u);
    EXPECT_FALSE(form->Rich(rtf1).LoadFile(folder.File("Missing.rtf")));

    // A document longer than the view gets a scroll bar to reach the rest.
    std::string longer = "{\\rtf1\\ansi ";
    for (int line = 0; line < 60; ++line) {
        longer += "A line of the help document.\\par ";
    }
    folder.Write("Long.rtf", longer + "}");
    EXPECT_TRUE(form->Rich(rtf1).LoadFile(folder.File("Long.rtf")));
    EXPECT_TRUE(StyleOf(form->ControlHwnd("rtf1")) & WS_VSCROLL);
}

TEST(PreTranslate, LeavesOtherWindowsAndNonKeyboardMessagesAlone) {
    const HWND plain = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                         nullptr, ::GetModuleHandleW(nullptr), nullptr);
    MSG key{plain, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_FALSE(PreTranslateMessage(key));
    ::DestroyWindow(plain);

    Win32Toolkit toolkit;
    const auto form = toolkit.CreateDesignedWindow(kForm3Design);
    ASSERT_TRUE(form->Load());
    MSG paint{form->Hwnd(), WM_PAINT, 0, 0, 0, {}};
    EXPECT_FALSE(PreTranslateMessage(paint));
    MSG tab{form->ControlHwnd("Text1"), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_TRUE(PreTranslateMessage(tab));
}

}  // namespace
}  // namespace platform::win32
