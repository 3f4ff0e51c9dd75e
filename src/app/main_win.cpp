// Implements: wWinMain, which wires the Win32 platform to Form1 and runs the message loop.
#include <windows.h>
// commctrl.h needs the types windows.h defines.
#include <commctrl.h>

#include <string>

#include "app/resource_ids.h"
#include "platform/win32/capture_files_win.h"
#include "platform/win32/clipboard_win.h"
#include "platform/win32/common_controls_win.h"
#include "platform/win32/controls_win.h"
#include "platform/win32/dialogs_win.h"
#include "platform/win32/file_dialogs_win.h"
#include "platform/win32/files_win.h"
#include "platform/win32/folders_win.h"
#include "platform/win32/gdi_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/key_sender_win.h"
#include "platform/win32/keyboard_win.h"
#include "platform/win32/processes_win.h"
#include "platform/win32/program_windows_win.h"
#include "platform/win32/registry_win.h"
#include "platform/win32/shell_windows_win.h"
#include "platform/win32/text_files_win.h"
#include "platform/win32/tray_win.h"
#include "platform/win32/window_system_win.h"
#include "shell/dispatcher.h"
#include "shell/form1.h"

namespace {

// Libraries are looked for in the system folder only. Windows' default search looks in the
// program's own folder first, for every library that is not one of its KnownDLLs (uxtheme, and
// any a system library loads in turn): a Downloads folder, or a game folder the player may
// write, would then put code of anyone's into this program. A constructor of the first
// priority runs before every other, so nothing is loaded before the search is narrowed.
__attribute__((constructor(101))) void searchSystemFolderOnly() {
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// Routes window events to Form1 through the dispatcher, once both exist.
class FormEvents final : public rk::win::WindowEvents {
  public:
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

    // Also the route for the Click that setting a value from code raises.
    void controlNotified(std::string_view control, rk::ControlEvent event) override {
        if (form_)
            dispatcher_->event([&] { form_->controlEvent(control, event); });
    }

    void infoClicked(std::string_view control) override {
        if (form_)
            dispatcher_->event([&] { form_->infoEvent(control); });
    }

    void timerFired(UINT_PTR timerId) override {
        if (!form_)
            return;
        if (timerId == rk::win::kTimer1Id)
            dispatcher_->tick([this] { form_->Timer1_Timer(); });
        if (timerId == rk::win::kTimer2Id)
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
    rk::Form1* form_ = nullptr;
    rk::Dispatcher* dispatcher_ = nullptr;
    rk::win::Win32ShellWindows* shell_ = nullptr;
};

// Icons from LoadImage with LR_SHARED belong to the system; they are never destroyed.
HICON loadIcon(HINSTANCE instance, int id, int sizeMetric) {
    const int size = GetSystemMetrics(sizeMetric);
    return static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_SHARED));
}

rk::win::WindowIcons iconsOf(HINSTANCE instance, int id) {
    return {loadIcon(instance, id, SM_CXICON), loadIcon(instance, id, SM_CXSMICON)};
}

int run(HINSTANCE instance) {
    rk::win::initCommonControls(ICC_STANDARD_CLASSES);

    rk::win::Win32Dialogs dialogs;
    rk::win::Win32Controls controls;
    FormEvents events;
    controls.onEvent = [&events](std::string_view name, rk::ControlEvent event) {
        events.controlNotified(name, event);
    };
    const rk::win::WindowIcons infoIcons = iconsOf(instance, IDI_RAIDKIT_INFO);
    rk::win::UniqueWindow mainWindow(
        rk::win::createMainWindow(instance, iconsOf(instance, IDI_RAIDKIT_MAIN), events, controls));
    rk::win::UniqueWindow infoWindow(rk::win::createInfoWindow(instance, infoIcons, events));
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
    rk::win::Win32Tray tray(main, infoIcons.small, rk::win::kTrayMessage);
    rk::win::Win32FileDialogs fileDialogs(main);
    rk::win::Win32TextFiles textFiles;
    rk::win::Win32AnsiCodePage codePage;
    rk::win::SendInputKeySender keySender;
    rk::win::Win32ShellWindows shell(std::move(mainWindow), std::move(infoWindow));
    rk::win::Win32Clipboard clipboard(
        static_cast<rk::WindowId>(reinterpret_cast<std::uintptr_t>(main)));
    rk::win::Win32Gdi gdi;
    rk::win::Win32CaptureFiles captureFiles;
    rk::win::Win32Folders folders;
    rk::Platform platform{registry,  windows,   processes, files,        keyboard,  dialogs,
                          shell,     controls,  tray,      fileDialogs,  textFiles, codePage,
                          keySender, clipboard, gdi,       captureFiles, folders};
    rk::Dispatcher dispatcher(dialogs, [&shell] { shell.closeMain(); });
    rk::Form1 form(platform, rk::win::currentProcessInfo(), dispatcher);
    events.attach(form, dispatcher, shell);

    // Ticks are messages: none is handled before start-up below has run to its end.
    rk::win::ScopedTimer timer1(main, rk::win::kTimer1Id, rk::kTimer1IntervalMs);
    rk::win::ScopedTimer timer2(main, rk::win::kTimer2Id, rk::kTimer2IntervalMs);

    dispatcher.startUp([&form] { form.Form_Load(); });
    if (form.showAfterLoad() && shell.mainHandle())
        ShowWindow(shell.mainHandle(), SW_SHOWNORMAL);

    int exitCode = 0;
    // A start-up that ended the program has destroyed the main window: nothing to wait for.
    if (shell.mainHandle()) {
        MSG msg{};
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (rk::win::translateWindowKeys(msg))
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
