// The main window's logic: start-up, launch modes, game watch, shutdown and its handlers.
// The window procedure (Windows) or a test only calls these through the Dispatcher.
#pragma once

#include <string>

#include "input/key_watch.h"
#include "platform/platform.h"
#include "shell/dispatcher.h"

namespace rk {

// Timer intervals of the main window's design.
constexpr unsigned kTimer1IntervalMs = 15;
constexpr unsigned kTimer2IntervalMs = 1000;

class Form1 {
  public:
    Form1(Platform& platform, ProcessInfo info, Dispatcher& dispatcher);

    // Start-up, in its fixed order; may end the program (relaunch, second copy).
    void Form_Load();
    // Shutdown: runs once when the main window is destroyed.
    void Form_Unload();

    void Timer1_Timer();  // 15 ms: keyboard check, then the pop-up closers
    void Timer2_Timer();  // 1000 ms: game watch

    void Command2_Click();  // "&Info"
    void Command3_Click();  // "&Hide"
    void Restore_Click();   // "&Restore"
    void Exit_Click();      // "&Exit"

    void Checkit();
    void SaveIt();
    void TypeKeybind(int keybind);

    // Where start-up left things.
    bool ended() const { return ended_; }
    bool trayMode() const { return trayMode_; }
    // True when start-up finished in a mode that shows the window.
    bool showAfterLoad() const { return !ended_ && !trayMode_; }

    std::string ScreenPrefix;
    // The folder dialog's current file name; always equal to ScreenPrefix.
    std::string cdlg2FileName;

  private:
    void endProgram();

    Platform& p_;
    ProcessInfo info_;
    Dispatcher& dispatcher_;
    KeyWatch keys_;
    bool trayMode_ = false;
    bool ended_ = false;
    bool unloaded_ = false;
};

}  // namespace rk
