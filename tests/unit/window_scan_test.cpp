#include "popups/window_scan.h"

#include <gtest/gtest.h>

#include "fake_window_system.h"

namespace rk {
namespace {

TEST(WindowScan, ListsTitledWindowsFrontFirstCountingUntitledOnes) {
    FakeWindowSystem windows;
    WindowId back = windows.createWindow("Back");
    windows.createWindow("");
    WindowId front = windows.createWindow("Front");

    WindowList list = ScanWindows(windows);

    EXPECT_EQ(list.windowCount, 3u);
    ASSERT_EQ(list.titled.size(), 2u);
    EXPECT_EQ(list.titled[0].position, 1u);
    EXPECT_EQ(list.titled[0].title, "Front");
    EXPECT_EQ(list.titled[0].window, front);
    EXPECT_EQ(list.titled[1].position, 3u);
    EXPECT_EQ(list.titled[1].title, "Back");
    EXPECT_EQ(list.titled[1].window, back);
}

TEST(WindowScan, ListsEveryWindowBeyondTwoHundred) {
    FakeWindowSystem windows;
    WindowId last = windows.createWindow("Bottom of the pile");
    for (int i = 0; i < 449; ++i) windows.createWindow("Window " + std::to_string(i));

    WindowList list = ScanWindows(windows);

    EXPECT_EQ(list.windowCount, 450u);
    ASSERT_EQ(list.titled.size(), 450u);
    EXPECT_EQ(list.titled.back().position, 450u);
    EXPECT_EQ(list.titled.back().title, "Bottom of the pile");
    EXPECT_EQ(list.titled.back().window, last);
}

}  // namespace
}  // namespace rk
