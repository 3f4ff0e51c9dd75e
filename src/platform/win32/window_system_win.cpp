// Implements: rk::win::Win32WindowSystem (FindWindowW, EnumWindows, titles, front, WM_CLOSE,
// and a change count fed by WinEvent hooks).
#include "platform/win32/window_system_win.h"

#include <atomic>
#include <iterator>
#include <string>
#include <string_view>

#include "platform/win32/text_win.h"

namespace rk::win {

namespace {

// The hook procedure gets no context pointer, so every instance reads one count: an instance
// then also sees the events of another's hooks, which the contract allows ("may have").
std::atomic<std::uint64_t> windowEvents{0};

void CALLBACK windowEvent(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (hwnd == nullptr || object != OBJID_WINDOW || child != CHILDID_SELF)
        return;
    // Controls inside windows change all the time and are never listed. A window that is gone
    // by now has no root any more: it may have been top-level, so it counts.
    const HWND root = GetAncestor(hwnd, GA_ROOT);
    if (root != nullptr && root != hwnd)
        return;
    windowEvents.fetch_add(1, std::memory_order_relaxed);
}

// Out of context, so the events come as messages to this thread instead of running our code
// inside other programs. Our own process is not skipped: our windows' titles change too and
// are matched like any other's.
UniqueWinEventHook hookWindowEvents(DWORD first, DWORD last) {
    return UniqueWinEventHook(
        SetWinEventHook(first, last, nullptr, windowEvent, 0, 0, WINEVENT_OUTOFCONTEXT));
}

}  // namespace

// Two ranges rather than one: the events between them (location, focus, state...) fire with
// every mouse move and caret blink.
Win32WindowSystem::Win32WindowSystem()
    : lifecycle_(hookWindowEvents(EVENT_OBJECT_CREATE, EVENT_OBJECT_HIDE)),
      renamed_(hookWindowEvents(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE)) {}

std::uint64_t Win32WindowSystem::changeCount() {
    // Without the hooks nothing tells us of a change: say "changed" every time, so callers
    // look again every time.
    if (!lifecycle_ || !renamed_)
        return ++unwatchedCalls_;
    return windowEvents.load(std::memory_order_relaxed);
}

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
    // Most titles fit a small buffer: one call for them, where asking the length first would
    // double what a scan of every window costs (each call is a trip to the window manager).
    wchar_t small[256];
    const int got = GetWindowTextW(hwnd, small, static_cast<int>(std::size(small)));
    if (got < static_cast<int>(std::size(small)) - 1)
        return toUtf8(std::wstring_view(small, got > 0 ? static_cast<std::size_t>(got) : 0));
    // The title may change between the length query and the read: read what fits.
    const int length = GetWindowTextLengthW(hwnd);
    if (length <= 0)
        return {};
    std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
    const int again = GetWindowTextW(hwnd, title.data(), length + 1);
    title.resize(again > 0 ? static_cast<std::size_t>(again) : 0);
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
