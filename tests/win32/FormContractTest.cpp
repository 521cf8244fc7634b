// What every Form does, run against the native tests' fake and the real window alike, so the
// controllers' tests cannot rest on behaviour the program lacks.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/win32/Win32Toolkit.h"
#include "resources/Form1Design.h"
#include "support/FakeForm.h"

namespace platform::win32 {
namespace {

using quell::design::kForm1Design;
namespace f1 = quell::design::Form1Controls;

struct FakeSubject {
    quell::testing::FakeForm form{kForm1Design};
    Form& Get() { return form; }
    void UserClick(std::string_view name) { form.Click(name); }
};

struct RealSubject {
    Win32Toolkit toolkit;
    std::unique_ptr<DesignedWindow> form = toolkit.CreateDesignedWindow(kForm1Design);
    Form& Get() { return *form; }
    void UserClick(std::string_view name) {
        const HWND control = form->ControlHwnd(name);
        ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        ::SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
};

template <class Subject>
class FormContract : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(form().Load());
        form().SetEventHandler([this](const Event& event) {
            seen.push_back(
                event.kind == EventKind::Resize
                    ? "Resize"
                    : std::string(
                          kForm1Design.controls[static_cast<std::size_t>(event.control)].name));
        });
    }
    Form& form() { return subject.Get(); }

    Subject subject;
    std::vector<std::string> seen;
};

using Subjects = ::testing::Types<FakeSubject, RealSubject>;
class SubjectNames {
  public:
    template <class T>
    static std::string GetName(int) {
        return std::is_same_v<T, FakeSubject> ? "Fake" : "Real";
    }
};
TYPED_TEST_SUITE(FormContract, Subjects, SubjectNames);

TYPED_TEST(FormContract, AStateSetBeforeTheFirstShowIsTakenThenWithOneResize) {
    this->form().SetState(WindowState::Minimized);
    EXPECT_TRUE(this->seen.empty());
    EXPECT_EQ(this->form().State(), WindowState::Minimized);
    EXPECT_FALSE(this->form().Visible());
    this->form().Show();
    EXPECT_EQ(this->seen, std::vector<std::string>{"Resize"});
    EXPECT_EQ(this->form().State(), WindowState::Minimized);
}

TYPED_TEST(FormContract, OnceShownEveryStateChangeIsOneResizeAndShowingAgainNone) {
    this->form().Show();
    this->form().SetState(WindowState::Minimized);
    this->form().SetState(WindowState::Normal);
    EXPECT_EQ(this->seen, std::vector<std::string>(3, "Resize"));
    this->form().Hide();
    this->form().Show();
    EXPECT_EQ(this->seen.size(), 3u);
    EXPECT_TRUE(this->form().Visible());
    EXPECT_EQ(this->form().State(), WindowState::Normal);
}

TYPED_TEST(FormContract, AValueSetByTheProgramClicksTheBoxOnlyWhenItChanges) {
    CheckBox& box = this->form().Check(f1::Check1);
    box.SetValue(1);
    box.SetValue(1);
    box.SetValue(0);
    EXPECT_EQ(this->seen, (std::vector<std::string>{"Check1", "Check1"}));
}

TYPED_TEST(FormContract, AClickOnASwitchsLabelClicksItsBox) {
    for (const auto& [label, box] :
         {std::pair{f1::Label5, f1::Check1}, std::pair{f1::Label6, f1::Check2},
          std::pair{f1::Label4, f1::Check6}, std::pair{f1::Label2, f1::Check5},
          std::pair{f1::Label7, f1::Check3}, std::pair{f1::Label8, f1::Check4}}) {
        const std::string_view labelName = kForm1Design.controls[label.index].name;
        const std::string boxName(kForm1Design.controls[box.index].name);
        for (const int expected : {1, 0}) {
            this->seen.clear();
            this->subject.UserClick(labelName);
            EXPECT_EQ(this->form().Check(box).Value(), expected) << labelName;
            EXPECT_EQ(this->seen, std::vector<std::string>{boxName}) << labelName;
        }
    }
}

TYPED_TEST(FormContract, BringingToTheFrontShowsTheWindow) {
    this->form().BringToFront();
    EXPECT_TRUE(this->form().Visible());
    EXPECT_EQ(this->seen, std::vector<std::string>{"Resize"});
}

TYPED_TEST(FormContract, AnUnloadedFormHasNoHandleAndLoadsAgain) {
    this->form().Unload();
    EXPECT_FALSE(this->form().IsLoaded());
    EXPECT_EQ(this->form().Handle(), 0u);
    EXPECT_EQ(this->form().State(), WindowState::Normal);
    ASSERT_TRUE(this->form().Load());
    EXPECT_NE(this->form().Handle(), 0u);
}

}  // namespace
}  // namespace platform::win32
