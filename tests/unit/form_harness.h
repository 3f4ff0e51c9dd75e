// One running copy of the program over the fakes, wired as the Windows host wires it.
#pragma once

#include <initializer_list>
#include <memory>

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
#include "fault_plan.h"
#include "shell/form1.h"

namespace rk {

struct FormHarness {
    explicit FormHarness(std::string arguments = "", std::string folder = "C:\\Games\\Ironveil")
        : FormHarness(nullptr, std::move(arguments), std::move(folder)) {}
    // Another copy of the program on the same desktop: both see one list of windows.
    FormHarness(FakeWindowSystem& desktop, std::string arguments,
                std::string folder = "C:\\Games\\Ironveil")
        : FormHarness(&desktop, std::move(arguments), std::move(folder)) {}

  private:
    FormHarness(FakeWindowSystem* desktop, std::string arguments, std::string folder)
        : windows(desktop ? *desktop : ownWindows_),
          processes(windows),
          shell(windows, processes.self),
          controls(form1Layout()),
          platform{registry, windows,   processes, files,        keyboard,  dialogs,
                   shell,    controls,  tray,      fileDialogs,  textFiles, codePage,
                   keys,     clipboard, gdi,       captureFiles, folders},
          dispatcher(dialogs, [this] { shell.closeMain(); }),
          form(platform, ProcessInfo{folder, "raidkit", folder + "\\raidkit.exe " + arguments},
               dispatcher) {
        shell.onMainDestroyed = [this] { dispatcher.event([this] { form.Form_Unload(); }); };
        controls.onEvent = [this](std::string_view name, ControlEvent event) {
            std::string control(name);
            dispatcher.event([this, control, event] { form.controlEvent(control, event); });
        };
        for (Faultable* fake : std::initializer_list<Faultable*>{
                 &registry, &processes, &files, &keyboard, &tray, &fileDialogs, &textFiles,
                 &textFiles.store(), &keys, &gdi, &clipboard, &captureFiles, &folders}) {
            fake->faults = &faults;
        }
    }

  public:
    void load() {
        dispatcher.startUp([this] { form.Form_Load(); });
    }
    void tick() {
        dispatcher.tick([this] { form.Timer1_Timer(); });
    }
    void watchTick() {
        dispatcher.tick([this] { form.Timer2_Timer(); });
    }
    // A key held across a few polls and released again.
    void press(std::uint8_t code) {
        keyboard.press(code);
        tick();
        tick();
        keyboard.release(code);
        tick();
    }
    WindowId startGame() {
        gamePid = processes.addProcess("ironveil.exe");
        return windows.createWindow("Ironveil", true, gamePid);
    }

  private:
    FakeWindowSystem ownWindows_;

  public:
    // Idle until a test starts it: then it counts the fakes' calls and fails the one it names.
    FaultPlan faults;
    FakeRegistry registry;
    FakeWindowSystem& windows;
    FakeProcesses processes;
    FakeFiles files;
    FakeKeyboard keyboard;
    FakeDialogs dialogs;
    FakeShellWindows shell;
    FakeControls controls;
    FakeTray tray;
    FakeFileDialogs fileDialogs;
    FakeTextFiles textFiles;
    Windows1252 codePage;
    FakeKeySender keys;
    FakeGdi gdi;
    FakeClipboard clipboard{gdi};
    FakeCaptureFiles captureFiles;
    FakeFolders folders{captureFiles};
    Platform platform;
    Dispatcher dispatcher;
    Form1 form;
    ProcessId gamePid = 0;
};

}  // namespace rk
