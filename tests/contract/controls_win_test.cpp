// Named controls over real Windows controls: which changes raise events, option groups.
#include "platform/win32/controls_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/handles_win.h"
#include "win32_test_support.h"

namespace rk::win {
namespace {

int changesSeen = 0;

LRESULT CALLBACK parentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE)
        ++changesSeen;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

class Win32ControlsTest : public ::testing::Test {
  protected:
    Win32ControlsTest() {
        contract::registerWindowClass(L"RaidkitControlsParent", parentProc);
        parent_.reset(CreateWindowExW(0, L"RaidkitControlsParent", L"", WS_OVERLAPPEDWINDOW, 0, 0,
                                      300, 200, nullptr, nullptr, GetModuleHandleW(nullptr),
                                      nullptr));
        add("Option1", L"BUTTON", BS_AUTORADIOBUTTON, "Frame7");
        add("Option2", L"BUTTON", BS_AUTORADIOBUTTON, "Frame7");
        add("OtherOption", L"BUTTON", BS_AUTORADIOBUTTON, "Frame2");
        add("Check1", L"BUTTON", BS_AUTOCHECKBOX, "Frame5");
        add("oText1", L"EDIT", ES_AUTOHSCROLL, "Frame1");
        controls_.onEvent = [this](std::string_view name, ControlEvent event) {
            events_.push_back(std::string(name) + (event == ControlEvent::Click ? " Click" : " ?"));
        };
        changesSeen = 0;
    }

    void add(const char* name, const wchar_t* cls, DWORD style, const char* group) {
        HWND h = CreateWindowExW(0, cls, L"", WS_CHILD | style, 0, 0, 50, 20, parent_.get(),
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        controls_.add(name, h, group);
    }

    UniqueWindow parent_;
    Win32Controls controls_;
    std::vector<std::string> events_;
};

TEST_F(Win32ControlsTest, SelectingAnOptionClearsOnlyItsOwnFrame) {
    controls_.setValue("OtherOption", true);
    controls_.setValue("Option2", true);
    controls_.setValue("Option1", true);
    EXPECT_TRUE(controls_.value("Option1"));
    EXPECT_FALSE(controls_.value("Option2"));
    EXPECT_TRUE(controls_.value("OtherOption"));
    EXPECT_EQ(events_,
              (std::vector<std::string>{"OtherOption Click", "Option2 Click", "Option1 Click"}));
}

TEST_F(Win32ControlsTest, OnlyAChangedValueRaisesClick) {
    controls_.setValue("Check1", false);
    EXPECT_TRUE(events_.empty());
    controls_.setValue("Check1", true);
    controls_.setValue("Check1", true);
    EXPECT_EQ(events_, (std::vector<std::string>{"Check1 Click"}));
    EXPECT_TRUE(controls_.value("Check1"));
}

TEST_F(Win32ControlsTest, OnlyADifferentTextReportsAChange) {
    controls_.setText("oText1", "gg $a");
    controls_.setText("oText1", "gg $a");
    EXPECT_EQ(changesSeen, 1);
    EXPECT_EQ(controls_.text("oText1"), "gg $a");
    controls_.setText("oText1", "K\xC3\xA4se");
    EXPECT_EQ(changesSeen, 2);
    EXPECT_EQ(controls_.text("oText1"), "K\xC3\xA4se");
}

TEST_F(Win32ControlsTest, UnknownNamesReadEmptyAndChangeNothing) {
    controls_.setText("Text2", "x");
    controls_.setValue("Option9", true);
    EXPECT_EQ(controls_.text("Text2"), "");
    EXPECT_FALSE(controls_.value("Option9"));
    EXPECT_TRUE(events_.empty());
    controls_.setEnabled("oText1", false);
    EXPECT_FALSE(controls_.enabled("oText1"));
}

}  // namespace
}  // namespace rk::win
