// Implements: rk::win::Win32ShellWindows (title, show/hide, DestroyWindow of main and info).
#include "platform/win32/shell_windows_win.h"

#include <string>

#include "platform/win32/text_win.h"
#include "platform/win32/window_system_win.h"

namespace rk::win {

namespace {
// The handle stays ours while the window is being destroyed, so that the unload (run inside
// DestroyWindow by WM_DESTROY) still sees the main window it is unloading.
void destroy(UniqueWindow& window) {
    const HWND hwnd = window.get();
    if (!hwnd)
        return;
    DestroyWindow(hwnd);
    if (window.get() == hwnd && !IsWindow(hwnd))
        window.release();
}
}  // namespace

Win32ShellWindows::Win32ShellWindows(UniqueWindow main, UniqueWindow info)
    : main_(std::move(main)), info_(std::move(info)) {}

WindowId Win32ShellWindows::mainWindow() {
    return toWindowId(main_.get());
}

void Win32ShellWindows::setMainTitle(std::string_view title) {
    if (main_)
        SetWindowTextW(main_.get(), toWide(title).c_str());
}

std::string Win32ShellWindows::mainTitle() {
    if (!main_)
        return {};
    const int length = GetWindowTextLengthW(main_.get());
    std::wstring title(static_cast<std::size_t>(length < 0 ? 0 : length) + 1, L'\0');
    const int got = GetWindowTextW(main_.get(), title.data(), static_cast<int>(title.size()));
    title.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return toUtf8(title);
}

void Win32ShellWindows::showMain() {
    if (!main_)
        return;
    // Brought back from the taskbar too, and to the front: the player asked to see it.
    ShowWindow(main_.get(), IsIconic(main_.get()) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(main_.get());
}

void Win32ShellWindows::hideMain() {
    if (main_)
        ShowWindow(main_.get(), SW_HIDE);
}

bool Win32ShellWindows::mainVisible() {
    return main_ && IsWindowVisible(main_.get());
}

void Win32ShellWindows::closeMain() {
    destroy(main_);
}

void Win32ShellWindows::showInfo() {
    if (!info_)
        return;
    // "&Info" pressed again brings the one info window to the front.
    ShowWindow(info_.get(), SW_SHOW);
    SetForegroundWindow(info_.get());
}

void Win32ShellWindows::hideInfo() {
    if (info_)
        ShowWindow(info_.get(), SW_HIDE);
}

void Win32ShellWindows::closeInfo() {
    destroy(info_);
}

void Win32ShellWindows::windowDestroyed(HWND window) {
    if (window == main_.get())
        main_.release();
    if (window == info_.get())
        info_.release();
}

}  // namespace rk::win
