// The pixel layout of the real window designs at 96 and 144 DPI, without a window.
#include "platform/win32/Layout.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string_view>
#include <tuple>

#include "resources/Form1Design.h"
#include "resources/Form3Design.h"

namespace platform::win32 {
namespace {

using quell::design::ControlDesign;
using quell::design::ControlKind;
using quell::design::kForm1Design;
using quell::design::kVerdana;
using quell::design::WindowDesign;

std::size_t IndexOf(const WindowDesign& design, std::string_view name) {
    return static_cast<std::size_t>(quell::design::ControlId(design, name) -
                                    quell::design::kFirstControlId);
}

struct RectCase {
    std::string_view control;
    UINT dpi;
    RECT expected;
};

class Form1Layout : public ::testing::TestWithParam<RectCase> {};

TEST_P(Form1Layout, PlacesTheControlInClientPixels) {
    const RectCase& c = GetParam();
    const RECT rect = LayoutControls(kForm1Design, c.dpi)[IndexOf(kForm1Design, c.control)];
    EXPECT_EQ(std::tie(rect.left, rect.top, rect.right, rect.bottom),
              std::tie(c.expected.left, c.expected.top, c.expected.right, c.expected.bottom));
}

INSTANTIATE_TEST_SUITE_P(
    TopLevelAndInsideFrames, Form1Layout,
    ::testing::Values(
        // 15 twips per pixel at 96 DPI, 10 at 144; halves round up.
        RectCase{"Command5", 96, {4, 4, 105, 69}}, RectCase{"Command5", 144, {6, 6, 158, 104}},
        // Inside Frame2 (60, 1080): the frame's origin is added in twips.
        RectCase{"Check1", 96, {12, 88, 25, 101}}, RectCase{"Check1", 144, {18, 132, 38, 152}},
        RectCase{"Label8", 96, {28, 168, 497, 185}},
        // Inside Frame1 (60, 2880).
        RectCase{"List2", 96, {256, 252, 497, 425}}, RectCase{"List2", 144, {384, 378, 746, 638}},
        // The hot key's target lies beyond the client area's right edge.
        RectCase{"pctHotkey", 96, {644, 8, 721, 53}},
        RectCase{"StatusBar1", 96, {0, 441, 507, 462}}));

TEST(Layout, ScalesEveryControlOfBothWindowsByTheDpiRatio) {
    for (const WindowDesign* design : {&kForm1Design, &quell::design::kForm3Design}) {
        const auto at96 = LayoutControls(*design, 96);
        const auto at144 = LayoutControls(*design, 144);
        ASSERT_EQ(at96.size(), design->controls.size());
        for (std::size_t i = 0; i < at96.size(); ++i) {
            SCOPED_TRACE(std::string(design->controls[i].name));
            // Each pixel edge is rounded once from twips, so 1.5 times the 96-DPI edge is
            // at most one pixel off.
            EXPECT_NEAR(at144[i].left, at96[i].left * 1.5, 1.0);
            EXPECT_NEAR(at144[i].top, at96[i].top * 1.5, 1.0);
            EXPECT_NEAR(at144[i].right - at144[i].left, (at96[i].right - at96[i].left) * 1.5, 1.5);
            EXPECT_NEAR(at144[i].bottom - at144[i].top, (at96[i].bottom - at96[i].top) * 1.5, 1.5);
        }
    }
}

TEST(Layout, ClientSizeFollowsTheDpi) {
    EXPECT_EQ(ClientSizePixels(kForm1Design, 96).cx, 507);
    EXPECT_EQ(ClientSizePixels(kForm1Design, 96).cy, 462);
    EXPECT_EQ(ClientSizePixels(kForm1Design, 144).cx, 761);
    EXPECT_EQ(ClientSizePixels(kForm1Design, 144).cy, 693);
    EXPECT_EQ(ClientSizePixels(quell::design::kForm3Design, 96).cx, 456);
    EXPECT_EQ(ClientSizePixels(quell::design::kForm3Design, 96).cy, 219);
}

TEST(Layout, NestedParentsAddUp) {
    static constexpr ControlDesign kControls[] = {
        {"Outer", ControlKind::Frame, "", 150, 300, 3000, 3000, "", "", kVerdana},
        {"Inner", ControlKind::PictureBox, "Outer", 150, 150, 1500, 1500, "", "", kVerdana},
        {"Deep", ControlKind::Label, "Inner", 15, 30, 150, 150, "", "", kVerdana},
    };
    static constexpr WindowDesign kDesign{"Nested", "",    4000,  4000, quell::design::Border::None,
                                          false,    false, false, "",   kVerdana,
                                          kControls};
    const RECT deep = LayoutControls(kDesign, 96)[2];
    EXPECT_EQ(deep.left, 21);  // (150 + 150 + 15) / 15
    EXPECT_EQ(deep.top, 32);   // (300 + 150 + 30) / 15
    EXPECT_EQ(deep.right - deep.left, 10);
}

TEST(Layout, RejectsParentsThatDoNotResolve) {
    static constexpr ControlDesign kDangling[] = {
        {"Lost", ControlKind::Label, "Nowhere", 0, 0, 10, 10, "", "", kVerdana},
    };
    static constexpr ControlDesign kCycle[] = {
        {"A", ControlKind::Frame, "B", 0, 0, 10, 10, "", "", kVerdana},
        {"B", ControlKind::Frame, "A", 0, 0, 10, 10, "", "", kVerdana},
    };
    static constexpr WindowDesign kDanglingDesign{
        "Bad", "", 100,      100,      quell::design::Border::None, false, false,
        false, "", kVerdana, kDangling};
    static constexpr WindowDesign kCycleDesign{
        "Bad", "", 100,      100,   quell::design::Border::None, false, false,
        false, "", kVerdana, kCycle};
    EXPECT_THROW(LayoutControls(kDanglingDesign, 96), std::invalid_argument);
    EXPECT_THROW(LayoutControls(kCycleDesign, 96), std::invalid_argument);
}

TEST(Layout, FontHeightIsTheCharacterHeightAtTheDpi) {
    struct Case {
        int hundredths;
        UINT dpi;
        int height;
    };
    for (const Case& c : {Case{825, 96, -11}, Case{825, 144, -17}, Case{825, 120, -14},
                          Case{1425, 96, -19}, Case{1200, 192, -32}}) {
        EXPECT_EQ(FontHeight(c.hundredths, c.dpi), c.height) << c.hundredths << " at " << c.dpi;
    }
}

TEST(Layout, ButtonPictureIsTheLargestThatLeavesTheCaptionAllItsLines) {
    struct Case {
        int labelHeight;
        int captionHeight;
        UINT dpi;
        int side;
        int gap;
    };
    for (const Case& c : {
             Case{59, 13, 96, 32, 2},   // a one-line caption on the main window's top row
             Case{58, 26, 96, 24, 2},   // two lines: the picture shrinks, the gap stays
             Case{40, 13, 96, 24, 2},   // Add and Delete
             Case{64, 20, 144, 36, 3},  // Add and Delete at 144 DPI: 24 and 2 scaled
             Case{29, 13, 96, 16, 0},   // the gap goes before the last picture does
             Case{28, 13, 96, 0, 0},    // no room: caption only
         }) {
        const ButtonPicture picture = FitButtonPicture(c.labelHeight, c.captionHeight, c.dpi);
        EXPECT_EQ(std::tie(picture.side, picture.gap), std::tie(c.side, c.gap))
            << c.captionHeight << " px of caption in " << c.labelHeight << " at " << c.dpi;
    }
}

}  // namespace
}  // namespace platform::win32
