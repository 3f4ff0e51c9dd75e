#include "shell/form1.h"

#include <gtest/gtest.h>

#include "form_harness.h"
#include "settings/reg_support.h"

namespace rk {
namespace {

TEST(StartUp, NormalStartKeepsTitleAndShowsWindow) {
    FormHarness h;
    h.load();
    EXPECT_TRUE(h.processes.priorityRaised);
    EXPECT_TRUE(h.keyboard.acquired);
    EXPECT_FALSE(h.form.ended());
    EXPECT_TRUE(h.form.showAfterLoad());
    EXPECT_EQ(h.shell.mainTitle(), "Raidkit v2.2 By Velmor");
}

TEST(StartUp, ScreenPrefixComesFromStoredFolderOrDefaultsToTheGamesFolder) {
    FormHarness fresh("", "D:\\Tools\\Raidkit");
    fresh.captureFiles.addFolder("D:\\Program Files\\Halvane\\Ironveil\\Ironveil");
    fresh.load();
    EXPECT_EQ(fresh.form.ScreenPrefix,
              "D:\\Program Files\\Halvane\\Ironveil\\Ironveil\\ScreenShot");
    EXPECT_EQ(fresh.form.cdlg2FileName, fresh.form.ScreenPrefix);
    EXPECT_FALSE(
        fresh.registry.get(RegRoot::LocalMachine, kSettingsKey, "ScreenFolder", RegView::Wow32));

    FormHarness stored;
    stored.registry.putText(RegRoot::LocalMachine, kSettingsKey, "ScreenFolder", "E:\\Shots\\raid",
                            RegView::Wow32);
    stored.load();
    EXPECT_EQ(stored.form.ScreenPrefix, "E:\\Shots\\raid");
}

TEST(StartUp, TrayModeHidesWindowAndEndsWithTheGame) {
    FormHarness h("/Mini");
    WindowId game = h.startGame();
    h.load();
    EXPECT_TRUE(h.form.trayMode());
    EXPECT_FALSE(h.form.showAfterLoad());
    EXPECT_FALSE(h.shell.mainVisible());

    h.watchTick();
    EXPECT_FALSE(h.form.ended());
    h.windows.destroyWindow(game);
    h.watchTick();
    EXPECT_TRUE(h.form.ended());
    EXPECT_FALSE(h.shell.mainExists());
    EXPECT_FALSE(h.keyboard.acquired);
}

TEST(StartUp, TrayModeWithoutGameEndsAtFirstWatchTick) {
    FormHarness h("/Mini");
    h.load();
    EXPECT_FALSE(h.form.ended());
    h.watchTick();
    EXPECT_TRUE(h.form.ended());
}

TEST(StartUp, TrayCopyStillEndsWithGameAfterBeingRestored) {
    FormHarness h("/Mini");
    h.load();
    h.form.Restore_Click();
    EXPECT_TRUE(h.shell.mainVisible());
    h.watchTick();
    EXPECT_TRUE(h.form.ended());
}

TEST(StartUp, NormalCopyOutlivesTheGame) {
    FormHarness h;
    WindowId game = h.startGame();
    h.load();
    h.windows.destroyWindow(game);
    for (int i = 0; i < 3; ++i) h.watchTick();
    EXPECT_FALSE(h.form.ended());
}

TEST(StartUp, RelaunchStartsTrayCopyAndEnds) {
    FormHarness h("go /D8 /C /R /I100 /U1", "C:\\Program Files\\Halvane\\Ironveil");
    h.registry.putText(RegRoot::LocalMachine, kSettingsKey, "ScreenFolder", "C:\\s\\x",
                       RegView::Wow32);
    h.load();
    ASSERT_EQ(h.processes.started.size(), 1u);
    const LaunchCommand& c = h.processes.started[0];
    EXPECT_EQ(c.application, "C:\\Program Files\\Halvane\\Ironveil\\raidkit.exe");
    EXPECT_EQ(c.commandLine, "\"C:\\Program Files\\Halvane\\Ironveil\\raidkit.exe\" /Mini");
    EXPECT_EQ(c.show, ShowCommand::Minimized);
    EXPECT_TRUE(h.form.ended());
    EXPECT_FALSE(h.shell.mainExists());
    // Everything before the mode decision still ran, and shutdown released the device.
    EXPECT_TRUE(h.processes.priorityRaised);
    EXPECT_EQ(h.form.ScreenPrefix, "C:\\s\\x");
    EXPECT_FALSE(h.keyboard.acquired);
    EXPECT_TRUE(h.dialogs.shown.empty());
}

TEST(StartUp, RelaunchedCopyDoesNotFindTheClosingCopy) {
    FormHarness launcher("go /D8 /C /R /I100 /U1");
    launcher.startGame();
    // The copy it starts may look for a running copy while the closing copy's window still
    // stands: it loads as that window's destruction begins.
    std::unique_ptr<FormHarness> relaunched;
    auto unload = launcher.shell.onMainDestroyed;
    launcher.shell.onMainDestroyed = [&] {
        relaunched = std::make_unique<FormHarness>(launcher.windows, "/Mini");
        relaunched->load();
        unload();
    };
    launcher.load();
    EXPECT_TRUE(launcher.form.ended());
    ASSERT_TRUE(relaunched);
    EXPECT_FALSE(relaunched->form.ended());
    EXPECT_EQ(launcher.windows.findByTitle("Raidkit v2.2 By Velmor"),
              relaunched->shell.mainWindow());
}

TEST(StartUp, RelaunchThatCannotStartShowsErrorAndEnds) {
    FormHarness h("go /D8 /C /R /I100 /U1");
    h.processes.unstartable.insert("C:\\Games\\Ironveil\\raidkit.exe");
    h.load();
    ASSERT_EQ(h.dialogs.shown.size(), 1u);
    EXPECT_NE(h.dialogs.shown[0].text.find("53"), std::string::npos);
    EXPECT_TRUE(h.form.ended());
}

TEST(StartUp, SecondCopyShowsRunningCopyAndEnds) {
    FormHarness h("/Mini");
    h.startGame();
    WindowId running = h.windows.createWindow("Raidkit v2.2 By Velmor", false, 555);
    h.load();
    EXPECT_TRUE(h.form.ended());
    EXPECT_FALSE(h.shell.mainExists());
    EXPECT_TRUE(h.windows.window(running).visible);
    EXPECT_EQ(h.windows.foreground(), running);
}

TEST(StartUp, OwnWindowIsNotMistakenForAnotherCopy) {
    FormHarness h;
    h.load();
    EXPECT_FALSE(h.form.ended());
    EXPECT_EQ(h.windows.findByTitle("Raidkit v2.2 By Velmor"), h.shell.mainWindow());
}

TEST(StartUp, MissingKeyboardShowsErrorAndEndsProgram) {
    FormHarness h;
    h.keyboard.present = false;
    h.load();
    ASSERT_EQ(h.dialogs.shown.size(), 1u);
    EXPECT_NE(h.dialogs.shown[0].text.find("68"), std::string::npos);
    EXPECT_NE(h.dialogs.shown[0].text.find("keyboard"), std::string::npos);
    EXPECT_TRUE(h.form.ended());
    EXPECT_FALSE(h.shell.mainExists());
}

TEST(Shutdown, RunsOnceAndClosesInfoWindow) {
    FormHarness h;
    h.load();
    h.form.Command2_Click();
    EXPECT_TRUE(h.shell.infoVisible());
    h.form.Exit_Click();
    EXPECT_TRUE(h.form.ended());
    EXPECT_FALSE(h.shell.mainExists());
    EXPECT_FALSE(h.shell.infoExists());
    EXPECT_FALSE(h.keyboard.acquired);
    h.form.Exit_Click();  // a second exit finds nothing left to close
    EXPECT_TRUE(h.dialogs.shown.empty());
}

TEST(WindowActions, HideThenRestoreBringsBackSameWindow) {
    FormHarness h;
    h.load();
    h.shell.showMain();
    WindowId before = h.shell.mainWindow();
    h.form.Command3_Click();
    EXPECT_FALSE(h.shell.mainVisible());
    h.tick();  // the poll runs on while hidden
    EXPECT_GT(h.keyboard.reads, 0);
    h.form.Restore_Click();
    EXPECT_TRUE(h.shell.mainVisible());
    EXPECT_EQ(h.shell.mainWindow(), before);
}

TEST(WindowActions, InfoPressedTwiceShowsOneWindow) {
    FormHarness h;
    h.load();
    h.form.Command2_Click();
    h.form.Command2_Click();
    EXPECT_EQ(h.shell.infoWindowsCreated, 1);
    EXPECT_TRUE(h.shell.infoVisible());
}

TEST(FreezeEscape, PauseWithGameStartsKillerByFullPathHidden) {
    FormHarness h("", "C:\\Program Files\\Halvane\\Ironveil");
    h.files.addFile("C:\\Program Files\\Halvane\\Ironveil\\Kill.exe");
    h.startGame();
    h.load();
    h.press(dik::kPause);
    ASSERT_EQ(h.processes.started.size(), 1u);
    const LaunchCommand& c = h.processes.started[0];
    EXPECT_EQ(c.application, "C:\\Program Files\\Halvane\\Ironveil\\Kill.exe");
    EXPECT_EQ(c.commandLine, "\"C:\\Program Files\\Halvane\\Ironveil\\Kill.exe\" -f ironveil");
    EXPECT_EQ(c.show, ShowCommand::Hide);
    EXPECT_FALSE(h.form.ended());
}

TEST(FreezeEscape, PathWithoutBlanksIsNotQuoted) {
    FormHarness h("", "C:\\Games\\Ironveil");
    h.files.addFile("C:\\Games\\Ironveil\\Kill.exe");
    h.startGame();
    h.load();
    h.press(dik::kPause);
    ASSERT_EQ(h.processes.started.size(), 1u);
    EXPECT_EQ(h.processes.started[0].commandLine, "C:\\Games\\Ironveil\\Kill.exe -f ironveil");
}

TEST(FreezeEscape, WithoutKillerEndsGameProcessItself) {
    FormHarness h;
    h.startGame();
    h.load();
    h.press(dik::kPause);
    EXPECT_TRUE(h.processes.started.empty());
    EXPECT_FALSE(h.processes.running(h.gamePid));
    EXPECT_EQ(h.windows.findByTitle("Ironveil"), 0u);
    EXPECT_FALSE(h.form.ended());
}

TEST(FreezeEscape, KillerThatCannotStartFallsBackToEndingGame) {
    FormHarness h;
    h.files.addFile("C:\\Games\\Ironveil\\Kill.exe");
    h.processes.unstartable.insert("C:\\Games\\Ironveil\\Kill.exe");
    h.startGame();
    h.load();
    h.press(dik::kPause);
    EXPECT_FALSE(h.processes.running(h.gamePid));
    EXPECT_TRUE(h.dialogs.shown.empty());
}

TEST(FreezeEscape, NeverEndsThisProgram) {
    FormHarness h;
    h.windows.createWindow("IRONVEIL", false, h.processes.self);
    h.load();
    h.press(dik::kPause);
    EXPECT_FALSE(h.form.ended());
    EXPECT_TRUE(h.processes.started.empty());
}

TEST(FreezeEscape, PauseWithoutGameDoesNothing) {
    FormHarness h;
    h.files.addFile("C:\\Games\\Ironveil\\Kill.exe");
    h.load();
    h.press(dik::kPause);
    EXPECT_TRUE(h.processes.started.empty());
    EXPECT_TRUE(h.dialogs.shown.empty());
}

TEST(FreezeEscape, HeldPauseActsOnce) {
    FormHarness h;
    h.files.addFile("C:\\Games\\Ironveil\\Kill.exe");
    h.startGame();
    h.load();
    h.keyboard.press(dik::kPause);
    for (int i = 0; i < 7; ++i) h.tick();
    EXPECT_EQ(h.processes.started.size(), 1u);
}

TEST(GameToFront, ScrollLockBringsGameWindowForward) {
    FormHarness h;
    WindowId game = h.startGame();
    WindowId other = h.windows.createWindow("Notepad");
    h.windows.activate(other);
    h.load();
    h.press(dik::kScroll);
    EXPECT_EQ(h.windows.foreground(), game);
}

// Windows lets a background program take the front only as the last input's sender; a game
// that stays minimized has not come to the front, and a maximized one keeps its size.
TEST(GameToFront, ScrollLockRestoresOnlyAMinimizedGame) {
    const struct {
        ShowCommand before;
        ShowCommand after;
    } cases[] = {
        {ShowCommand::Minimized, ShowCommand::Restore},
        {ShowCommand::Maximized, ShowCommand::Maximized},
        {ShowCommand::Normal, ShowCommand::Normal},
    };
    for (const auto& c : cases) {
        FormHarness h;
        WindowId game = h.startGame();
        h.windows.show(game, c.before);
        h.windows.activate(h.windows.createWindow("Notepad"));
        h.load();
        h.press(dik::kScroll);
        EXPECT_EQ(h.windows.foreground(), game) << static_cast<int>(c.before);
        EXPECT_FALSE(h.windows.minimized(game)) << static_cast<int>(c.before);
        EXPECT_EQ(h.windows.window(game).lastShow, c.after) << static_cast<int>(c.before);
        EXPECT_EQ(h.windows.window(game).flashes, 0);
    }
}

TEST(GameToFront, ScrollLockWithoutGameChangesNothing) {
    FormHarness h;
    WindowId other = h.windows.createWindow("Notepad");
    h.windows.activate(other);
    h.load();
    h.press(dik::kScroll);
    EXPECT_EQ(h.windows.foreground(), other);
}

TEST(KeyboardPoll, LostDeviceIsAcquiredAgainWithoutMessages) {
    FormHarness h;
    WindowId game = h.startGame();
    WindowId other = h.windows.createWindow("Notepad");
    h.windows.activate(other);
    h.load();
    h.keyboard.acquired = false;
    h.keyboard.press(dik::kScroll);
    h.tick();  // read fails: nothing acts this tick
    EXPECT_EQ(h.windows.foreground(), other);
    EXPECT_TRUE(h.keyboard.acquired);
    h.tick();
    EXPECT_EQ(h.windows.foreground(), game);
    EXPECT_TRUE(h.dialogs.shown.empty());
    EXPECT_FALSE(h.form.ended());
}

TEST(KeyboardPoll, GoneDeviceNeverEndsProgramOrFloodsBoxes) {
    FormHarness h;
    h.load();
    h.keyboard.present = false;
    h.keyboard.acquired = false;
    for (int i = 0; i < 100; ++i) h.tick();
    EXPECT_TRUE(h.dialogs.shown.empty());
    EXPECT_FALSE(h.form.ended());
    EXPECT_EQ(h.keyboard.reads, 100);
}

}  // namespace
}  // namespace rk

namespace rk {
namespace {

TEST(PollTick, ClosersRunAfterKeyboardCheckWhileGameRuns) {
    FormHarness h;
    h.startGame();
    h.load();
    WindowId service = h.windows.createWindow("Messenger Service");
    WindowId signIn = h.windows.createWindow("Bob has just signed in.");
    h.tick();
    EXPECT_FALSE(h.windows.exists(service));
    EXPECT_TRUE(h.windows.exists(signIn));  // the check box is clear
    h.controls.click("Check1");
    h.tick();
    EXPECT_FALSE(h.windows.exists(signIn));
}

TEST(PollTick, SignInCloserFollowsStoredSettingsAndEdits) {
    FormHarness h;
    h.registry.putText(RegRoot::LocalMachine, kSettingsKey, "MSN", "True", RegView::Wow32);
    h.registry.putText(RegRoot::LocalMachine, kSettingsKey, "MSN Title", "is now online",
                       RegView::Wow32);
    h.startGame();
    h.load();
    WindowId stored = h.windows.createWindow("Ann is now online");
    WindowId other = h.windows.createWindow("Bob is online");
    h.tick();
    EXPECT_FALSE(h.windows.exists(stored));  // ticked and titled from the registry at start-up
    EXPECT_TRUE(h.windows.exists(other));
    h.controls.type("Text1", "is online");
    h.tick();
    EXPECT_FALSE(h.windows.exists(other));  // the new text counts from the next tick
    h.controls.click("Check1");
    WindowId late = h.windows.createWindow("Cy is online");
    h.tick();
    EXPECT_TRUE(h.windows.exists(late));  // unticked: nothing more is closed
}

TEST(PollTick, NothingIsClosedWithoutTheGame) {
    FormHarness h;
    h.load();
    h.controls.click("Check1");
    WindowId service = h.windows.createWindow("Messenger Service");
    WindowId signIn = h.windows.createWindow("Ann has just signed in.");
    h.tick();
    EXPECT_TRUE(h.windows.exists(service));
    EXPECT_TRUE(h.windows.exists(signIn));
}

}  // namespace
}  // namespace rk

namespace rk {
namespace {

TEST(ChatKeys, F9TypesItsLineWithCounterThenEnterOncePerPress) {
    FormHarness h;
    h.registry.putText(RegRoot::LocalMachine, kSettingsKey, "KeyBind1",
                       "That was headshot number $a", RegView::Wow32);
    h.load();
    h.press(dik::kF9);
    h.press(dik::kF9);
    EXPECT_EQ(h.keys.sentLines, (std::vector<std::string>{"That was headshot number 1",
                                                          "That was headshot number 2"}));
}

TEST(ChatKeys, CountersAreSharedAcrossKeysAndFollowTheBoxText) {
    FormHarness h;
    h.load();
    h.controls.type("oText1", "$a");
    h.controls.type("oText2", "$a $b");
    h.press(dik::kF9);
    h.press(dik::kF10);
    h.press(dik::kF9);
    EXPECT_EQ(h.keys.sentLines, (std::vector<std::string>{"1", "2 1", "3"}));
}

TEST(ChatKeys, InvalidLineTypesNothingAndTellsThePlayer) {
    FormHarness h;
    h.load();
    h.controls.type("oText3", "gg {ENTR}");
    h.press(dik::kF11);
    EXPECT_TRUE(h.keys.sentLines.empty());
    ASSERT_EQ(h.dialogs.shown.size(), 1u);
    EXPECT_EQ(h.dialogs.shown[0].title, "Raidkit");
    EXPECT_FALSE(h.form.ended());
}

TEST(ChatKeys, KeyTypedByALineDoesNotSetOffItsOwnAction) {
    FormHarness h;
    h.load();
    h.controls.type("oText1", "nine");
    h.controls.type("oText2", "ten{F9}");
    h.keyboard.press(dik::kF10);
    h.tick();
    h.keyboard.release(dik::kF10);
    // The F9 the line typed is still down at the next read, as on a slow system.
    h.keyboard.press(dik::kF9);
    h.tick();
    h.keyboard.release(dik::kF9);
    h.tick();
    EXPECT_EQ(h.keys.sentLines, std::vector<std::string>{"ten"});
    // A real press afterwards acts again.
    h.press(dik::kF9);
    EXPECT_EQ(h.keys.sentLines, (std::vector<std::string>{"ten", "nine"}));
}

}  // namespace
}  // namespace rk

namespace rk {
namespace {

TEST(Screenshots, PrintScreenStoresTheClipboardPictureAsTheNextJpeg) {
    FormHarness h;
    h.registry.putText(RegRoot::LocalMachine, kSettingsKey, "ScreenFolder", "C:\\Shots\\ScreenShot",
                       RegView::Wow32);
    h.captureFiles.addFolder("C:\\Shots");
    h.load();
    h.tick();
    h.clipboard.putBitmap(FakeImage{4, 4, std::vector<std::uint32_t>(16, 0x336699)});
    h.press(dik::kSysRq);
    EXPECT_EQ(h.captureFiles.filesIn("C:\\Shots"), std::vector<std::string>{"ScreenShot1.jpg"});
}

TEST(Screenshots, QualityBoxTextThatIsNoNumberIsReported) {
    FormHarness h;
    h.registry.putText(RegRoot::LocalMachine, kSettingsKey, "ScreenFolder", "C:\\Shots\\ScreenShot",
                       RegView::Wow32);
    h.captureFiles.addFolder("C:\\Shots");
    h.load();
    h.controls.setText("txtJPGQuality", "abc");
    h.tick();
    h.clipboard.putBitmap(FakeImage{4, 4, std::vector<std::uint32_t>(16, 0x336699)});
    h.press(dik::kSysRq);
    EXPECT_TRUE(h.captureFiles.filesIn("C:\\Shots").empty());
    ASSERT_FALSE(h.dialogs.shown.empty());
    EXPECT_NE(h.dialogs.shown.back().text.find("13"), std::string::npos);
}

}  // namespace
}  // namespace rk

namespace rk {
namespace {

// The game below "Program Files (x86)", where an ordinary user may not write.
const std::string kGameX86 = "C:\\Program Files (x86)\\Halvane\\Ironveil\\Ironveil";

TEST(GameFolder, FirstShotMakesThePicturesFolderWhenTheGameFolderRefusesFiles) {
    FormHarness h("", "C:\\Tools\\Raidkit");
    h.captureFiles.addFolder(kGameX86, /*writable=*/false);
    h.captureFiles.addFolder("C:\\Users\\Ann\\Pictures");
    h.load();
    EXPECT_EQ(h.form.gameFolder(), kGameX86);
    EXPECT_EQ(h.form.ScreenPrefix, "C:\\Users\\Ann\\Pictures\\Ironveil\\ScreenShot");
    EXPECT_FALSE(h.captureFiles.isFolder("C:\\Users\\Ann\\Pictures\\Ironveil"));
    EXPECT_FALSE(
        h.registry.get(RegRoot::LocalMachine, kSettingsKey, "ScreenFolder", RegView::Wow32));
    h.tick();
    h.clipboard.putBitmap(FakeImage{4, 4, std::vector<std::uint32_t>(16, 0x336699)});
    h.press(dik::kSysRq);
    EXPECT_EQ(h.captureFiles.filesIn("C:\\Users\\Ann\\Pictures\\Ironveil"),
              std::vector<std::string>{"ScreenShot1.jpg"});
    EXPECT_TRUE(h.dialogs.shown.empty());
}

TEST(GameFolder, StoredScreenFolderWinsAndNothingIsMadeForTheDefault) {
    FormHarness h("", "C:\\Tools\\Raidkit");
    h.registry.putText(RegRoot::LocalMachine, kSettingsKey, "ScreenFolder", "C:\\Shots\\Raid",
                       RegView::Wow32);
    h.captureFiles.addFolder("C:\\Shots");
    h.captureFiles.addFolder("C:\\Users\\Ann\\Pictures");
    h.load();
    h.tick();
    h.clipboard.putBitmap(FakeImage{4, 4, std::vector<std::uint32_t>(16, 0x336699)});
    h.press(dik::kSysRq);
    EXPECT_EQ(h.captureFiles.filesIn("C:\\Shots"), std::vector<std::string>{"Raid1.jpg"});
    EXPECT_FALSE(h.captureFiles.isFolder("C:\\Users\\Ann\\Pictures\\Ironveil"));
    EXPECT_TRUE(h.folders.probed.empty()) << "no write check is needed for a stored folder";
}

TEST(GameFolder, ProfileDialogOpensInTheVirtualStoreCopyOnceTheGameMadeOne) {
    FormHarness h("", "C:\\Tools\\Raidkit");
    h.captureFiles.addFolder(kGameX86);
    h.captureFiles.addFolder(kGameX86 + "\\Profile");
    h.load();
    h.controls.click("Open_profile");
    const std::string store =
        "C:\\Users\\Ann\\AppData\\Local\\VirtualStore\\Program Files (x86)\\Halvane\\Ironveil\\"
        "Ironveil\\Profile";
    h.captureFiles.addFolder(store);
    h.controls.click("Open_profile");
    ASSERT_EQ(h.fileDialogs.opened.size(), 2u);
    EXPECT_EQ(h.fileDialogs.opened[0].options.initialFolder, kGameX86 + "\\Profile\\");
    EXPECT_EQ(h.fileDialogs.opened[1].options.initialFolder, store + "\\");
}

}  // namespace
}  // namespace rk
