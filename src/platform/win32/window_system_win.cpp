// Implements: rk::win::Win32WindowSystem (FindWindowW, EnumWindows, titles, IsIconic, front
// past the foreground lock, WM_CLOSE, and a change count fed by WinEvent hooks).
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

// Shares this thread's input state with another thread's for one scope: SetActiveWindow and
// SetFocus act only on windows of a thread attached this way.
class AttachedInput {
  public:
    AttachedInput(DWORD self, DWORD other)
        : self_(self),
          other_(other),
          attached_(other != 0 && other != self && AttachThreadInput(self, other, TRUE)) {}
    ~AttachedInput() {
        if (attached_)
            AttachThreadInput(self_, other_, FALSE);
    }
    AttachedInput(const AttachedInput&) = delete;
    AttachedInput& operator=(const AttachedInput&) = delete;

  private:
    DWORD self_;
    DWORD other_;
    bool attached_;
};

// A virtual-key code that no keyboard has: its key-up changes no key state and means nothing
// to any program, the game included.
constexpr WORD kUnassignedKey = 0xE8;

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

bool Win32WindowSystem::minimized(WindowId window) {
    return window != 0 && IsIconic(toHwnd(window));
}

void Win32WindowSystem::claimForeground() {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = kUnassignedKey;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(input));
}

void Win32WindowSystem::bringToFront(WindowId window) {
    HWND hwnd = toHwnd(window);
    if (!hwnd)
        return;
    const DWORD self = GetCurrentThreadId();
    // Attached to the thread in front, this thread shares the foreground's input state, which
    // Windows also accepts for SetForegroundWindow where the claimed input came too late.
    const HWND front = GetForegroundWindow();
    const DWORD frontThread = front ? GetWindowThreadProcessId(front, nullptr) : 0;
    const DWORD targetThread = GetWindowThreadProcessId(hwnd, nullptr);
    const AttachedInput toFront(self, frontThread);
    const AttachedInput toTarget(self, targetThread == frontThread ? 0 : targetThread);
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
    SetFocus(hwnd);
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
