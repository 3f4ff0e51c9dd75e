// The main window's logic: start-up, launch modes, game watch, shutdown, the settings panel and
// the tray menu. The window procedure (Windows) or a test only calls these through the
// Dispatcher.
#pragma once

#include <string>

#include "capture/save_it.h"
#include "capture/turbo_jpeg.h"
#include "input/game_actions.h"
#include "input/key_watch.h"
#include "input/keybinds.h"
#include "platform/platform.h"
#include "popups/closers.h"
#include "profile/profile_editor.h"
#include "settings/settings_panel.h"
#include "shell/dispatcher.h"
#include "shell/sys_tray.h"

namespace rk {

// Timer intervals of the main window's design.
constexpr unsigned kTimer1IntervalMs = 15;
constexpr unsigned kTimer2IntervalMs = 1000;

inline constexpr std::string_view kTrayTip = "Raidkit";
inline constexpr std::string_view kWebSite = "https://velmor.github.io/raidkit/";

// What the main window's own handlers reach; each part it builds gets its own narrower set.
struct ShellPlatform {
    Processes& processes;
    KeyboardDevice& keyboard;
    ShellWindows& shell;
    WindowSystem& windows;
    Tray& tray;
    Controls& controls;
    Registry& registry;
    Folders& folders;
};

// The profile dialog and file, for the nickname editor.
struct ProfilePlatform {
    FileDialogs& fileDialogs;
    TextFiles& textFiles;
    AnsiCodePage& codePage;
};

class Form1 {
  public:
    // The window's composition root: it hands each part the interfaces that part uses.
    Form1(Platform& platform, ProcessInfo info, Dispatcher& dispatcher);

    // Start-up, in its fixed order; may end the program (relaunch, second copy).
    void Form_Load();
    // Shutdown: runs once when the main window is destroyed.
    void Form_Unload();

    void Timer1_Timer();  // 15 ms: keyboard check, then the pop-up closers
    void Timer2_Timer();  // 1000 ms: game watch

    // The tray icon's notification, x being the mouse message over the icon.
    void Form_MouseMove(int x);
    // The shell's taskbar was re-created.
    void TaskbarCreated();
    // A click or change reported by a control of the main window, by name.
    void controlEvent(std::string_view control, ControlEvent event);

    // The info window's buttons (icon_frm.cpp).
    void infoEvent(std::string_view control);
    void ICONfrm_Command1_Click();  // "&Hide"
    void ICONfrm_Command3_Click();  // "&More info"

    void Command2_Click();  // "&Info"
    void Command3_Click();  // "&Hide"
    void Restore_Click();   // "&Restore"
    void Exit_Click();      // "&Exit"

    // Settings panel, handed on to its logic.
    void Check1_Click() { panel_.Check1_Click(); }
    void cmdSetJPGQuality_Click() { panel_.cmdSetJPGQuality_Click(); }
    void Option1_Click() { panel_.Option1_Click(); }
    void Option2_Click() { panel_.Option2_Click(); }
    void oText_Change(int keybind) { panel_.oText_Change(keybind); }
    void Text1_Change() { panel_.Text1_Change(); }
    void Command1_Click() { panel_.Command1_Click(); }  // "&Set Folder"
    void Command4_Click() { panel_.Command4_Click(); }  // "&Open Folder"

    // Nickname editor.
    void Open_profile_Click();
    void SetNickName_Click();

    // Fills the variables $a to $d of a chat line in place, counting each variable once per line.
    std::string& Parse_Vars(std::string& txtText) { return counters_.Parse_Vars(txtText); }

    void Checkit();
    void CheckMSN();
    void CloseThatDirtyFuckingSpam();
    void SaveIt();
    void TypeKeybind(int keybind);

    // Where start-up left things.
    bool ended() const { return ended_; }
    bool trayMode() const { return trayMode_; }
    // True when start-up finished in a mode that shows the window.
    bool showAfterLoad() const { return !ended_ && !trayMode_; }
    const SysTray& sysTray() const { return tray_; }

    std::string ScreenPrefix;
    // The folder dialog's current file name; always equal to ScreenPrefix.
    std::string cdlg2FileName;
    // The game's folder on this machine, found once at start-up.
    const std::string& gameFolder() const { return panel_.gameFolder(); }

  private:
    void endProgram();

    ShellPlatform p_;
    FreezeEscapePlatform freeze_;
    ProfilePlatform profileIo_;
    KeySender& keySender_;
    ProcessInfo info_;
    Dispatcher& dispatcher_;
    KeyWatch keys_;
    KeybindCounters counters_;
    KeyState tickState_{};  // this tick's keyboard: which modifiers the player holds
    SysTray tray_;
    ProfileEditor profile_;
    // Keeps the closers' window scan between ticks while no window changes.
    PopupClosers closers_;
    TurboJpegLibrary jpeg_;
    // Print Screen: the wait for Windows' picture and the numbered files.
    Screenshots shots_;
    SettingsPanel panel_;
    bool trayMode_ = false;
    bool ended_ = false;
    bool unloaded_ = false;
};

}  // namespace rk
