#include <gtest/gtest.h>

#include "form_harness.h"

namespace rk {
namespace {

TEST(TrayRecord, TipIsSevenCharactersOneZeroByteThenBlanks) {
    FormHarness h;
    h.load();
    const TrayRecord& r = h.form.sysTray().record();
    EXPECT_EQ(r.cbSize, 88u);
    EXPECT_EQ(r.uID, 1u);
    EXPECT_EQ(r.uFlags, 7u);
    EXPECT_EQ(r.uCallbackMessage, 0x200u);
    EXPECT_EQ(r.hWnd, h.shell.mainWindow());
    EXPECT_EQ(r.hIcon, h.tray.infoWindowIcon());
    std::string tip(r.szTip.begin(), r.szTip.end());
    EXPECT_EQ(tip, std::string("Raidkit") + '\0' + std::string(56, ' '));
}

TEST(TrayRecord, LongTipFillsFieldWithoutZeroAndEmptyTipKeepsOldOne) {
    FakeTray tray;
    SysTray sys(tray);
    sys.AddTrayIcon(1, 2, std::string(70, 'x'));
    EXPECT_EQ(std::string(sys.record().szTip.begin(), sys.record().szTip.end()),
              std::string(64, 'x'));
    sys.RemoveTrayIcon();
    sys.AddTrayIcon(1, 2, "");
    EXPECT_EQ(sys.record().szTip[0], 'x');
}

TEST(TrayIcon, OneIconWhileRunningAndNoneAfterExit) {
    FormHarness h;
    h.load();
    EXPECT_EQ(h.tray.icons.size(), 1u);
    h.form.Exit_Click();
    EXPECT_TRUE(h.tray.icons.empty());
}

TEST(TrayIcon, RelaunchAndSecondCopyAddNone) {
    FormHarness relaunch("go /D8 /C /R /I100 /U1");
    relaunch.load();
    EXPECT_TRUE(relaunch.tray.icons.empty());
    FormHarness second;
    second.windows.createWindow("Raidkit v2.2 By Velmor", false, 999);
    second.load();
    EXPECT_TRUE(second.tray.icons.empty());
}

TEST(TrayIcon, ComesBackAfterTaskbarIsRecreated) {
    FormHarness h("/Mini");
    h.startGame();
    h.load();
    h.tray.restartShell();
    h.form.TaskbarCreated();
    ASSERT_EQ(h.tray.icons.size(), 1u);
    EXPECT_EQ(h.tray.icons.begin()->second.uID, 1u);
}

TEST(TrayIcon, RefusedIconLeavesProgramRunning) {
    FormHarness h;
    h.tray.refuse = true;
    h.load();
    EXPECT_FALSE(h.form.ended());
    EXPECT_TRUE(h.dialogs.shown.empty());
}

struct MouseCase {
    int code;
    bool opensMenu;
};

class TrayNotification : public ::testing::TestWithParam<MouseCase> {};

TEST_P(TrayNotification, OnlyRightButtonUpOpensMenu) {
    FormHarness h;
    h.load();
    h.form.Form_MouseMove(GetParam().code);
    EXPECT_EQ(h.tray.menusShown, GetParam().opensMenu ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(TrayMenu, TrayNotification,
                         ::testing::Values(MouseCase{0x200, false}, MouseCase{0x201, false},
                                           MouseCase{0x202, false}, MouseCase{0x203, false},
                                           MouseCase{0x204, false}, MouseCase{0x205, true},
                                           MouseCase{0x206, false}));

TEST(TrayMenu, RestoreShowsHiddenWindowAndExitEndsProgram) {
    FormHarness h("/Mini");
    h.startGame();
    h.load();
    EXPECT_FALSE(h.shell.mainVisible());
    h.tray.nextMenuChoice = "Restore";
    h.form.Form_MouseMove(0x205);
    EXPECT_TRUE(h.shell.mainVisible());
    h.tray.nextMenuChoice = "";
    h.form.Form_MouseMove(0x205);
    EXPECT_FALSE(h.form.ended());
    h.tray.nextMenuChoice = "Exit";
    h.form.Form_MouseMove(0x205);
    EXPECT_TRUE(h.form.ended());
    EXPECT_TRUE(h.tray.icons.empty());
}

TEST(InfoWindow, MoreInfoOpensSiteMaximizedAndHidesBothWindows) {
    FormHarness h;
    h.load();
    h.shell.showMain();
    h.form.Command2_Click();
    h.form.infoEvent("Command3");
    ASSERT_EQ(h.processes.started.size(), 1u);
    EXPECT_EQ(h.processes.started[0].commandLine, "iexplore " + std::string(kWebSite));
    EXPECT_EQ(h.processes.started[0].show, ShowCommand::Maximized);
    EXPECT_FALSE(h.shell.infoVisible());
    EXPECT_FALSE(h.shell.mainVisible());
    EXPECT_FALSE(h.form.ended());
}

TEST(InfoWindow, MoreInfoFallsBackToDefaultBrowser) {
    FormHarness h;
    h.processes.unstartable.insert("iexplore");
    h.load();
    h.form.Command2_Click();
    h.dispatcher.event([&] { h.form.infoEvent("Command3"); });
    ASSERT_EQ(h.processes.started.size(), 1u);
    EXPECT_EQ(h.processes.started[0].commandLine, "explorer.exe " + std::string(kWebSite));
    EXPECT_FALSE(h.shell.infoVisible());
    EXPECT_TRUE(h.dialogs.shown.empty());
}

TEST(InfoWindow, NoBrowserAtAllIsReportedAndWindowsStay) {
    FormHarness h;
    h.processes.unstartable = {"iexplore", "explorer.exe"};
    h.load();
    h.shell.showMain();
    h.form.Command2_Click();
    h.dispatcher.event([&] { h.form.infoEvent("Command3"); });
    EXPECT_EQ(h.dialogs.shown.size(), 1u);
    EXPECT_TRUE(h.shell.infoVisible());
    EXPECT_TRUE(h.shell.mainVisible());
    EXPECT_FALSE(h.form.ended());
}

TEST(InfoWindow, HideLeavesMainWindowAsItWas) {
    FormHarness h;
    h.load();
    h.shell.showMain();
    h.form.Command2_Click();
    h.form.infoEvent("Command1");
    EXPECT_FALSE(h.shell.infoVisible());
    EXPECT_TRUE(h.shell.mainVisible());
}

}  // namespace
}  // namespace rk
