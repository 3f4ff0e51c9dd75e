// Implements: rk::win::Win32WindowSystem (FindWindowW, EnumWindows, titles, front, WM_CLOSE).
#include "platform/win32/window_system_win.h"

#include <string>

#include "platform/win32/text_win.h"

namespace rk::win {

WindowId Win32WindowSystem::findByTitle(std::string_view title) {
    return toWindowId(FindWindowW(nullptr, toWide(title).c_str()));
}

std::vector<WindowId> Win32WindowSystem::topLevelWindows() {
    std::vector<WindowId> windows;
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            reinterpret_cast<std::vector<WindowId>*>(param)->push_back(toWindowId(hwnd));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::string Win32WindowSystem::titleOf(WindowId window) {
    HWND hwnd = toHwnd(window);
    if (!hwnd)
        return {};
    // The title may change between the length query and the read: read what fits.
    const int length = GetWindowTextLengthW(hwnd);
    if (length <= 0)
        return {};
    std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, title.data(), length + 1);
    title.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return toUtf8(title);
}

void Win32WindowSystem::show(WindowId window, ShowCommand command) {
    if (window != 0)
        ShowWindow(toHwnd(window), static_cast<int>(command));
}

void Win32WindowSystem::bringToFront(WindowId window) {
    HWND hwnd = toHwnd(window);
    if (!hwnd)
        return;
    SetForegroundWindow(hwnd);
    // SetActiveWindow and SetFocus only work on windows of a thread that shares our input
    // state; attach to the window's thread for the two calls, then let go again.
    const DWORD target = GetWindowThreadProcessId(hwnd, nullptr);
    const DWORD self = GetCurrentThreadId();
    const bool attached = target != 0 && target != self && AttachThreadInput(self, target, TRUE);
    SetActiveWindow(hwnd);
    SetFocus(hwnd);
    if (attached)
        AttachThreadInput(self, target, FALSE);
}

void Win32WindowSystem::postClose(WindowId window) {
    if (window != 0)
        PostMessageW(toHwnd(window), WM_CLOSE, 0, 0);
}

ProcessId Win32WindowSystem::ownerProcess(WindowId window) {
    if (window == 0)
        return 0;
    DWORD pid = 0;
    if (GetWindowThreadProcessId(toHwnd(window), &pid) == 0)
        return 0;
    return pid;
}

}  // namespace rk::win
