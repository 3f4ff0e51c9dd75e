// Implements: wWinMain, which wires the Win32 platform to Form1 and runs the message loop.
#include <windows.h>
// commctrl.h needs the types windows.h defines.
#include <commctrl.h>

#include <optional>
#include <string>

#include "app/main_window_win.h"
#include "platform/win32/controls_win.h"
#include "platform/win32/dialogs_win.h"
#include "platform/win32/file_dialogs_win.h"
#include "platform/win32/files_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/keyboard_win.h"
#include "platform/win32/processes_win.h"
#include "platform/win32/registry_win.h"
#include "platform/win32/shell_windows_win.h"
#include "platform/win32/text_files_win.h"
#include "platform/win32/tray_win.h"
#include "platform/win32/window_system_win.h"
#include "shell/dispatcher.h"
#include "shell/form1.h"

namespace {

// Routes window events to Form1 through the dispatcher, once both exist.
class FormEvents final : public rk::app::WindowEvents {
  public:
    explicit FormEvents(rk::win::Win32Controls& controls) : controls_(controls) {}

    void attach(rk::Form1& form, rk::Dispatcher& dispatcher, rk::win::Win32ShellWindows& shell) {
        form_ = &form;
        dispatcher_ = &dispatcher;
        shell_ = &shell;
    }
    void detach() {
        form_ = nullptr;
        dispatcher_ = nullptr;
        shell_ = nullptr;
    }

    void controlNotified(HWND control, UINT code) override {
        if (!form_)
            return;
        const auto event = code == BN_CLICKED  ? rk::ControlEvent::Click
                           : code == EN_CHANGE ? rk::ControlEvent::Change
                                               : std::optional<rk::ControlEvent>();
        if (!event)
            return;
        const std::string name = controls_.nameOf(control);
        if (!name.empty())
            controlEvent(name, *event);
    }

    // Also the route for the Click that setting a value from code raises.
    void controlEvent(std::string_view name, rk::ControlEvent event) {
        if (form_)
            dispatcher_->event([&] { form_->controlEvent(name, event); });
    }

    void timerFired(UINT_PTR timerId) override {
        if (!form_)
            return;
        if (timerId == rk::app::kTimer1Id)
            dispatcher_->tick([this] { form_->Timer1_Timer(); });
        if (timerId == rk::app::kTimer2Id)
            dispatcher_->tick([this] { form_->Timer2_Timer(); });
    }

    void trayNotified(LPARAM mouseMessage) override {
        const int x = static_cast<int>(mouseMessage);
        if (form_)
            dispatcher_->event([this, x] { form_->Form_MouseMove(x); });
    }

    void taskbarCreated() override {
        if (form_)
            dispatcher_->event([this] { form_->TaskbarCreated(); });
    }

    void mainDestroyed() override {
        if (form_)
            dispatcher_->event([this] { form_->Form_Unload(); });
    }

    void windowGone(HWND window) override {
        if (shell_)
            shell_->windowDestroyed(window);
    }

  private:
    rk::win::Win32Controls& controls_;
    rk::Form1* form_ = nullptr;
    rk::Dispatcher* dispatcher_ = nullptr;
    rk::win::Win32ShellWindows* shell_ = nullptr;
};

int run(HINSTANCE instance) {
    INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);

    rk::win::Win32Dialogs dialogs;
    rk::win::Win32Controls controls;
    FormEvents events(controls);
    controls.onEvent = [&events](std::string_view name, rk::ControlEvent event) {
        events.controlEvent(name, event);
    };
    rk::win::UniqueWindow mainWindow(rk::app::createMainWindow(instance, events, controls));
    rk::win::UniqueWindow infoWindow(rk::app::createInfoWindow(instance, events));
    if (!mainWindow || !infoWindow) {
        dialogs.messageBox("The program's windows cannot be created.", "Raidkit",
                           rk::BoxIcon::Error);
        return 1;
    }
    const HWND main = mainWindow.get();

    rk::win::Win32Registry registry;
    rk::win::Win32WindowSystem windows;
    rk::win::Win32Processes processes;
    rk::win::Win32Files files;
    rk::win::DirectInputKeyboard keyboard(main);
    rk::win::Win32Tray tray(main, rk::app::infoWindowSmallIcon(instance), rk::app::kTrayMessage);
    rk::win::Win32FileDialogs fileDialogs(main);
    rk::win::Win32TextFiles textFiles;
    rk::win::Win32AnsiCodePage codePage;
    rk::win::Win32ShellWindows shell(std::move(mainWindow), std::move(infoWindow));
    rk::Platform platform{registry, windows,  processes, files,       keyboard,  dialogs,
                          shell,    controls, tray,      fileDialogs, textFiles, codePage};
    rk::Dispatcher dispatcher(dialogs, [&shell] { shell.closeMain(); });
    rk::Form1 form(platform, rk::win::currentProcessInfo(), dispatcher);
    events.attach(form, dispatcher, shell);

    // Ticks are messages: none is handled before start-up below has run to its end.
    rk::win::ScopedTimer timer1(main, rk::app::kTimer1Id, rk::kTimer1IntervalMs);
    rk::win::ScopedTimer timer2(main, rk::app::kTimer2Id, rk::kTimer2IntervalMs);

    dispatcher.startUp([&form] { form.Form_Load(); });
    if (form.showAfterLoad() && shell.mainHandle())
        ShowWindow(shell.mainHandle(), SW_SHOWNORMAL);

    int exitCode = 0;
    // A start-up that ended the program has destroyed the main window: nothing to wait for.
    if (shell.mainHandle()) {
        MSG msg{};
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            const HWND current = shell.mainHandle();
            if (current && IsDialogMessageW(current, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        exitCode = static_cast<int>(msg.wParam);
    }

    // However the loop ended, the unload runs (once) before anything it uses goes away.
    shell.closeMain();
    shell.closeInfo();
    events.detach();
    controls.onEvent = nullptr;
    return exitCode;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return run(instance);
}
