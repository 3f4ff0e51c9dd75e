#include "shell/form1.h"

#include "game/game_folder.h"
#include "input/game_actions.h"
#include "input/keybind_typing.h"
#include "popups/closers.h"
#include "settings/reg_support.h"
#include "shell/launch.h"

namespace rk {

Form1::Form1(Platform& platform, ProcessInfo info, Dispatcher& dispatcher)
    : p_{platform.processes, platform.keyboard, platform.shell,    platform.windows,
         platform.tray,      platform.controls, platform.registry, platform.folders},
      freeze_{platform.windows, platform.files, platform.processes},
      profileIo_{platform.fileDialogs, platform.textFiles, platform.codePage},
      keySender_(platform.keys),
      info_(std::move(info)),
      dispatcher_(dispatcher),
      tray_(platform.tray),
      closers_(platform.windows),
      shots_(CapturePlatform{platform.clipboard, platform.gdi, platform.captureFiles, jpeg_},
             info_.exeName,
             [this](std::string_view text, std::string_view title, BoxIcon icon) {
                 dispatcher_.messageBox(text, title, icon);
             }),
      panel_({platform.registry, platform.controls, platform.fileDialogs, platform.processes,
              platform.folders},
             {ScreenPrefix, cdlg2FileName}) {}

void Form1::Form_Load() {
    p_.processes.raisePriority();
    p_.keyboard.setUp();

    panel_.setScreenPrefix(info_.folder);

    std::string arguments =
        argumentsOf(info_.commandLine, info_.folder + "\\" + info_.exeName + ".exe");
    LaunchMode mode = launchModeOf(arguments);
    if (mode == LaunchMode::Relaunch) {
        p_.shell.setMainTitle(kClosingTitle);
        p_.processes.start(relaunchCommand(info_.folder, info_.exeName));
        endProgram();
        return;
    }
    if (mode == LaunchMode::Tray) {
        p_.shell.hideMain();
        trayMode_ = true;
    }

    // Our own title must not match while we look for another copy.
    p_.shell.setMainTitle(kSearchTitle);
    WindowId other = p_.windows.findByTitle(kMainTitle);
    if (other != 0) {
        p_.windows.show(other, ShowCommand::Restore);
        p_.windows.bringToFront(other);
        endProgram();
        return;
    }
    p_.shell.setMainTitle(kMainTitle);
    tray_.AddTrayIcon(p_.shell.mainWindow(), p_.tray.infoWindowIcon(), kTrayTip);
    panel_.fill();
}

void Form1::Form_Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    ended_ = true;
    p_.keyboard.unacquire();
    tray_.RemoveTrayIcon();
    p_.shell.closeInfo();
}

void Form1::endProgram() {
    ended_ = true;
    p_.shell.closeMain();
    p_.shell.closeInfo();
}

void Form1::Timer1_Timer() {
    if (ended_)
        return;
    Checkit();
    // Stores the screenshots that are due; a press waits here for Windows' picture.
    shots_.tick(ShotClock::now(), [this] {
        if (!panel_.shotsFolderToMake().empty())
            p_.folders.createFolder(panel_.shotsFolderToMake());
        return ShotSettings{ScreenPrefix, ReadSetting(p_.registry, "ScreenyFormat"),
                            p_.controls.text("txtJPGQuality")};
    });
    CheckMSN();
    CloseThatDirtyFuckingSpam();
}

void Form1::Timer2_Timer() {
    if (ended_ || !trayMode_)
        return;
    if (p_.windows.findByTitle(kGameTitle) == 0)
        endProgram();
}

void Form1::Form_MouseMove(int x) {
    if (static_cast<std::uint32_t>(x) != kTrayButtonUp)
        return;
    std::string item = p_.tray.popupMenu();
    if (item == "Exit") {
        Exit_Click();
    } else if (item == "Restore") {
        Restore_Click();
    }
}

void Form1::TaskbarCreated() {
    tray_.TaskbarCreated();
}

void Form1::controlEvent(std::string_view control, ControlEvent event) {
    if (event == ControlEvent::Change) {
        if (control == "Text1")
            return Text1_Change();
        for (int i = 1; i <= 4; ++i) {
            if (control == "oText" + std::to_string(i))
                return oText_Change(i);
        }
        return;
    }
    if (control == "Command1")
        return Command1_Click();
    if (control == "Command2")
        return Command2_Click();
    if (control == "Command3")
        return Command3_Click();
    if (control == "Command4")
        return Command4_Click();
    if (control == "Check1")
        return Check1_Click();
    if (control == "Option1")
        return Option1_Click();
    if (control == "Option2")
        return Option2_Click();
    if (control == "cmdSetJPGQuality")
        return cmdSetJPGQuality_Click();
    if (control == "Open_profile")
        return Open_profile_Click();
    if (control == "SetNickName")
        return SetNickName_Click();
}

void Form1::Command2_Click() {
    p_.shell.showInfo();
}
void Form1::Command3_Click() {
    p_.shell.hideMain();
}
void Form1::Restore_Click() {
    p_.shell.showMain();
}
void Form1::Exit_Click() {
    endProgram();
}

void Form1::Checkit() {
    KeyState state{};
    if (!p_.keyboard.read(state)) {
        // A lost device comes back by itself once acquired again; this tick has nothing to act on.
        keys_.forget();
        p_.keyboard.reacquire();
        return;
    }
    tickState_ = state;
    for (KeyAction action : keys_.pressed(state)) {
        switch (action) {
            case KeyAction::Screenshot:
                SaveIt();
                break;
            case KeyAction::Keybind1:
            case KeyAction::Keybind2:
            case KeyAction::Keybind3:
            case KeyAction::Keybind4:
                TypeKeybind(static_cast<int>(action) - static_cast<int>(KeyAction::Keybind1) + 1);
                break;
            case KeyAction::FreezeEscape:
                freezeEscape(freeze_, info_.folder);
                break;
            case KeyAction::GameToFront:
                bringGameToFront(p_.windows);
                break;
        }
    }
}

}  // namespace rk

namespace rk {

// Print Screen seen: the shot is stored by this tick or a later one, once Windows' picture is
// on the clipboard or the short wait for it is over.
void Form1::SaveIt() {
    shots_.press(ShotClock::now());
}

void Form1::TypeKeybind(int keybind) {
    std::string text = p_.controls.text("oText" + std::to_string(keybind));
    KeybindOutcome outcome = typeKeybind(keybind, text, counters_, tickState_, keySender_);
    // Keys the line typed itself must not set off the poll at the next read.
    for (std::uint8_t code : outcome.watchedKeysTyped) keys_.ignoreUntilReleased(code);
    if (!outcome.message.empty())
        dispatcher_.messageBox(outcome.message, "Raidkit", BoxIcon::Error);
}

}  // namespace rk

namespace rk {

void Form1::CheckMSN() {
    closers_.CheckMSN(panel_.msnTicked(), panel_.msnText());
}

void Form1::CloseThatDirtyFuckingSpam() {
    closers_.CloseThatDirtyFuckingSpam();
}

void Form1::Open_profile_Click() {
    ProfileOutcome outcome =
        profile_.Open_profile(profileIo_.fileDialogs, profileIo_.textFiles, profileIo_.codePage,
                              profileFolder(p_.folders, panel_.gameFolder()));
    if (outcome.text2)
        p_.controls.setText("Text2", *outcome.text2);
    if (outcome.message)
        dispatcher_.messageBox(*outcome.message, kProfileBoxTitle, BoxIcon::Error);
}

void Form1::SetNickName_Click() {
    auto message =
        profile_.SetNickName(p_.controls.text("Text2"), profileIo_.textFiles, profileIo_.codePage);
    if (message)
        dispatcher_.messageBox(*message, kProfileBoxTitle, BoxIcon::Error);
}

}  // namespace rk
