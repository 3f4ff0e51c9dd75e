// The program's own two windows: closing runs the unload before it returns, titles, visibility.
#include "platform/win32/shell_windows_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/window_system_win.h"
#include "win32_test_support.h"

namespace rk::win {
namespace {

// Counts WM_DESTROY and tells the shell windows of WM_NCDESTROY, as the program's windows do.
struct Probe {
    int destroyed = 0;
    Win32ShellWindows* shell = nullptr;
};
Probe* probe = nullptr;

LRESULT CALLBACK probeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY && probe)
        ++probe->destroyed;
    if (message == WM_NCDESTROY && probe && probe->shell)
        probe->shell->windowDestroyed(hwnd);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

class Win32ShellWindowsTest : public ::testing::Test {
  protected:
    Win32ShellWindowsTest() {
        contract::registerWindowClass(L"RaidkitShellProbe", probeProc);
        probe = &probe_;
        shell_ = std::make_unique<Win32ShellWindows>(make("Main"), make("Info"));
        probe_.shell = shell_.get();
    }
    ~Win32ShellWindowsTest() override {
        shell_.reset();
        probe = nullptr;
    }
    static UniqueWindow make(const char* base) {
        return UniqueWindow(CreateWindowExW(0, L"RaidkitShellProbe",
                                            toWide(contract::uniqueName(base)).c_str(),
                                            WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                                            GetModuleHandleW(nullptr), nullptr));
    }

    Probe probe_;
    std::unique_ptr<Win32ShellWindows> shell_;
};

TEST_F(Win32ShellWindowsTest, CloseMainRunsTheUnloadBeforeItReturns) {
    const HWND main = shell_->mainHandle();
    ASSERT_NE(main, nullptr);
    shell_->closeMain();
    EXPECT_EQ(probe_.destroyed, 1);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_EQ(shell_->mainWindow(), 0u);
    shell_->closeMain();  // a second close finds nothing to do
    EXPECT_EQ(probe_.destroyed, 1);
    EXPECT_NE(shell_->infoHandle(), nullptr);
}

TEST_F(Win32ShellWindowsTest, WindowDestroyedElsewhereIsForgotten) {
    const HWND info = shell_->infoHandle();
    DestroyWindow(info);
    EXPECT_EQ(shell_->infoHandle(), nullptr);
    shell_->showInfo();  // harmless on a window that is gone
    shell_->closeInfo();
    EXPECT_EQ(probe_.destroyed, 1);
}

TEST_F(Win32ShellWindowsTest, TitleRoundTripsAndVisibilityFollowsShowAndHide) {
    shell_->setMainTitle("Closing...");
    EXPECT_EQ(shell_->mainTitle(), "Closing...");
    shell_->setMainTitle("Raidkit \xE2\x9C\x93");
    EXPECT_EQ(shell_->mainTitle(), "Raidkit \xE2\x9C\x93");
    EXPECT_FALSE(shell_->mainVisible());
    shell_->showMain();
    EXPECT_TRUE(shell_->mainVisible());
    shell_->hideMain();
    EXPECT_FALSE(shell_->mainVisible());
    EXPECT_EQ(shell_->mainWindow(), toWindowId(shell_->mainHandle()));
}

TEST_F(Win32ShellWindowsTest, ShowMainBringsBackAMinimisedWindow) {
    shell_->showMain();
    ShowWindow(shell_->mainHandle(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(shell_->mainHandle()));
    shell_->showMain();
    EXPECT_FALSE(IsIconic(shell_->mainHandle()));
    EXPECT_TRUE(shell_->mainVisible());
}

}  // namespace
}  // namespace rk::win
