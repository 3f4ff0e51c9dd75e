// One copy of the program in tray mode over the fakes, on a desktop where the game runs beside
// a crowd of other programs' windows and no key is down: the state the program idles in.
#pragma once

#include <string>

#include "fake_capture_files.h"
#include "fake_clipboard.h"
#include "fake_controls.h"
#include "fake_file_dialogs.h"
#include "fake_folders.h"
#include "fake_gdi.h"
#include "fake_key_sender.h"
#include "fake_registry.h"
#include "fake_system.h"
#include "fake_text_files.h"
#include "fake_window_system.h"
#include "settings/reg_support.h"
#include "shell/dispatcher.h"
#include "shell/form1.h"
#include "shell/layout.h"

namespace bench {

struct IdleDesktop {
    static constexpr const char* kFolder = "C:\\Games\\Ironveil";

    // signInCloser: the player has ticked the MSN box, so each tick scans the windows twice.
    IdleDesktop(int otherWindows, bool signInCloser)
        : processes(windows),
          shell(windows, processes.self),
          controls(rk::form1Layout()),
          platform{registry, windows,   processes, files,       keyboard,  dialogs,
                   shell,    controls,  tray,      fileDialogs, textFiles, codePage,
                   keys,     clipboard, gdi,       captureFiles, folders},
          dispatcher(dialogs, [this] { shell.closeMain(); }),
          form(platform,
               rk::ProcessInfo{kFolder, "raidkit", std::string(kFolder) + "\\raidkit.exe /Mini"},
               dispatcher) {
        shell.onMainDestroyed = [this] { dispatcher.event([this] { form.Form_Unload(); }); };
        controls.onEvent = [this](std::string_view name, rk::ControlEvent event) {
            std::string control(name);
            dispatcher.event([this, control, event] { form.controlEvent(control, event); });
        };
        rk::WriteSetting(registry, "MSN", signInCloser ? "True" : "False");
        for (int i = 0; i < otherWindows; ++i)
            windows.createWindow("Crowd window " + std::to_string(i + 1) + " - Notepad", true,
                                 processes.addProcess("notepad.exe"));
        rk::ProcessId game = processes.addProcess("ironveil.exe");
        windows.bringToFront(windows.createWindow("Ironveil", true, game));
        dispatcher.startUp([this] { form.Form_Load(); });
    }

    // What the main window's procedure does for one WM_TIMER of Timer1.
    void tick() {
        dispatcher.tick([this] { form.Timer1_Timer(); });
    }

    rk::FakeRegistry registry;
    rk::FakeWindowSystem windows;
    rk::FakeProcesses processes;
    rk::FakeFiles files;
    rk::FakeKeyboard keyboard;
    rk::FakeDialogs dialogs;
    rk::FakeShellWindows shell;
    rk::FakeControls controls;
    rk::FakeTray tray;
    rk::FakeFileDialogs fileDialogs;
    rk::FakeTextFiles textFiles;
    rk::Windows1252 codePage;
    rk::FakeKeySender keys;
    rk::FakeGdi gdi;
    rk::FakeClipboard clipboard{gdi};
    rk::FakeCaptureFiles captureFiles;
    rk::FakeFolders folders{captureFiles};
    rk::Platform platform;
    rk::Dispatcher dispatcher;
    rk::Form1 form;
};

}  // namespace bench
