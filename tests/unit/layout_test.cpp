#include "shell/layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace rk {
namespace {

struct TwipsCase {
    int twips, dpi, pixels;
};

class TwipsToPixels : public ::testing::TestWithParam<TwipsCase> {};

TEST_P(TwipsToPixels, RoundsToNearestPixel) {
    EXPECT_EQ(twipsToPixels(GetParam().twips, GetParam().dpi), GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(Layout, TwipsToPixels,
                         ::testing::Values(TwipsCase{7110, 96, 474}, TwipsCase{7275, 96, 485},
                                           TwipsCase{15, 96, 1}, TwipsCase{7, 96, 0},
                                           TwipsCase{8, 96, 1}, TwipsCase{195, 120, 16},
                                           TwipsCase{7110, 144, 711}, TwipsCase{-660, 96, -44},
                                           TwipsCase{0, 144, 0}));

void checkWindow(const WindowSpec& w) {
    std::set<std::string_view> names;
    std::set<int> tabs;
    for (const auto& c : w.controls) {
        EXPECT_TRUE(names.insert(c.name).second) << "duplicate " << c.name;
        if (c.tabIndex >= 0)
            EXPECT_TRUE(tabs.insert(c.tabIndex).second) << "tab " << c.tabIndex;
        if (!c.parent.empty()) {
            const ControlSpec* parent = findControl(w, c.parent);
            ASSERT_NE(parent, nullptr) << c.name;
            EXPECT_EQ(parent->kind, ControlKind::Frame) << c.name;
        }
    }
}

TEST(Layout, NamesAreUniqueParentsAreFramesTabIndexesDistinct) {
    checkWindow(form1Layout());
    checkWindow(iconFrmLayout());
}

TEST(Layout, FramesStackTopToBottom) {
    const auto& w = form1Layout();
    std::vector<std::pair<const char*, int>> frames = {{"Frame6", 0},    {"Frame2", 660},
                                                       {"Frame3", 1920}, {"Frame4", 2760},
                                                       {"Frame1", 4140}, {"Frame5", 6540}};
    for (auto [name, top] : frames) EXPECT_EQ(findControl(w, name)->top, top) << name;
}

TEST(Layout, SignInBoxSitsInsideCheckBoxGapAndQualityBoxInsideLabelGap) {
    const auto& w = form1Layout();
    const auto* text1 = findControl(w, "Text1");
    const auto* check1 = findControl(w, "Check1");
    EXPECT_GT(text1->left, check1->left);
    EXPECT_LT(text1->left + text1->width, check1->left + check1->width);
    // Text1 must lie above the check box where they overlap.
    EXPECT_LT(text1 - w.controls.data(), check1 - w.controls.data());
    const auto* quality = findControl(w, "txtJPGQuality");
    const auto* label10 = findControl(w, "Label10");
    EXPECT_LT(quality - w.controls.data(), label10 - w.controls.data());
    EXPECT_EQ(quality->maxLength, 3);
}

TEST(Layout, TextBoxesUseTimesNewRomanAndOnlyTheNicknameIsLighter) {
    for (const auto& c : form1Layout().controls) {
        if (c.kind != ControlKind::TextBox)
            continue;
        EXPECT_EQ(c.font, ControlFont::TimesNewRoman) << c.name;
        EXPECT_EQ(c.back, kTextBoxBack) << c.name;
        EXPECT_EQ(c.fore, c.name == "Text2" ? Colour{0x00800000} : Colour{0x00400000}) << c.name;
    }
}

TEST(Layout, HideButtonsTakeTheSameKeyboardRole) {
    EXPECT_EQ(findControl(form1Layout(), "Command3")->role, ButtonRole::Cancel);
    EXPECT_EQ(findControl(iconFrmLayout(), "Command1")->role, ButtonRole::Cancel);
    int roles = 0;
    for (const auto& c : form1Layout().controls) roles += c.role != ButtonRole::None;
    EXPECT_EQ(roles, 1);
}

TEST(InfoText, StartsWithFourEmptyLinesThenFirstQuestionAndEndsWithCrLf) {
    std::string_view text = infoHelpText();
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t pos; (pos = text.find("\r\n", start)) != std::string_view::npos; start = pos + 2) {
        lines.push_back(text.substr(start, pos - start));
    }
    EXPECT_EQ(start, text.size()) << "the last line ends with CR LF";
    ASSERT_EQ(lines.size(), 13u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(lines[i], "");
    EXPECT_EQ(lines[4], "Is there an uninstaller?");
    EXPECT_EQ(lines[5], "      >Yes. ");
    EXPECT_EQ(lines[8].substr(0, 8), "       \"");
    EXPECT_EQ(lines[11], "");
    EXPECT_EQ(lines[12], " ");
}

TEST(TrayMenuLayout, ExitComesBeforeRestore) {
    auto menu = trayMenu();
    ASSERT_EQ(menu.size(), 2u);
    EXPECT_EQ(menu[0].caption, "&Exit");
    EXPECT_EQ(menu[1].caption, "&Restore");
}

}  // namespace
}  // namespace rk
