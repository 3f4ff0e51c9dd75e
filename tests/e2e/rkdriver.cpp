// rkdriver: the end-to-end scenarios' hands and eyes inside Wine. It presses keys like a
// keyboard, finds and waits for windows and processes, closes or ends them, and holds a file open.
// Exit status: 0 done or condition met, 1 not met (or timed out), 2 wrong usage.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "clock_colour.h"
#include "key_names.h"
#include "platform/win32/text_win.h"
#include "processes.h"
#include "send_keys.h"
#include "top_windows.h"

namespace {

using Args = std::vector<std::wstring>;

constexpr int kDone = 0;
constexpr int kNotMet = 1;
constexpr int kUsage = 2;

void say(std::wstring_view line) {
    const std::string text = rk::win::toUtf8(line) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

unsigned to_ms(const std::wstring& text) {
    return static_cast<unsigned>(std::wcstoul(text.c_str(), nullptr, 10));
}

bool wait_until(unsigned timeout_ms, const std::function<bool()>& condition) {
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(20);
    }
}

int press(const Args& a) {
    const auto key = e2e::parse_key(rk::win::toUtf8(a[0]));
    if (!key) {
        say(L"unknown key: " + a[0]);
        return kUsage;
    }
    return e2e::press_key(*key, a.size() > 1 ? to_ms(a[1]) : 100) ? kDone : kNotMet;
}

// Prints the clock (clock_colour.h) at the moment the key went down.
int press_timed(const Args& a) {
    const auto key = e2e::parse_key(rk::win::toUtf8(a[0]));
    if (!key) {
        say(L"unknown key: " + a[0]);
        return kUsage;
    }
    const std::uint32_t down = e2e::clock_ms();
    if (!e2e::press_key(*key, a.size() > 1 ? to_ms(a[1]) : 100)) {
        return kNotMet;
    }
    say(L"down " + std::to_wstring(down));
    return kDone;
}

// Characters as WM_CHAR, whatever the keyboard layout: for text, not for watched keys.
int type_text(const Args& a) {
    std::vector<INPUT> events;
    for (const wchar_t c : a[0]) {
        for (const DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT in{};
            in.type = INPUT_KEYBOARD;
            in.ki.wScan = c;
            in.ki.dwFlags = KEYEVENTF_UNICODE | up;
            events.push_back(in);
        }
    }
    const UINT sent = SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
    if (sent != events.size()) {
        say(L"SendInput took " + std::to_wstring(sent) + L" of " + std::to_wstring(events.size()) +
            L" events (error " + std::to_wstring(GetLastError()) + L")");
        return kNotMet;
    }
    return kDone;
}

int find(const Args& a) {
    const HWND hwnd = e2e::find_window(a[0]);
    if (hwnd == nullptr) {
        say(L"absent");
        return kNotMet;
    }
    say(IsWindowVisible(hwnd) ? L"visible" : L"hidden");
    return kDone;
}

// wait-window <title> <ms> [visible|hidden]
int wait_window(const Args& a) {
    const std::wstring want = a.size() > 2 ? a[2] : L"";
    if (!want.empty() && want != L"visible" && want != L"hidden") {
        return kUsage;
    }
    const bool met = wait_until(to_ms(a[1]), [&] {
        const HWND hwnd = e2e::find_window(a[0]);
        if (hwnd == nullptr) {
            return false;
        }
        return want.empty() || (IsWindowVisible(hwnd) != FALSE) == (want == L"visible");
    });
    return met ? kDone : kNotMet;
}

int wait_no_window(const Args& a) {
    return wait_until(to_ms(a[1]), [&] { return e2e::find_window(a[0]) == nullptr; }) ? kDone
                                                                                      : kNotMet;
}

int foreground(const Args&) {
    say(e2e::window_title(GetForegroundWindow()));
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    if (GetGUIThreadInfo(0, &gui)) {
        wchar_t cls[64] = {};
        GetClassNameW(gui.hwndFocus, cls, 64);
        say(std::wstring(L"focus class ") + cls + L" active " + e2e::window_title(gui.hwndActive));
    }
    return kDone;
}

int wait_foreground(const Args& a) {
    const bool met = wait_until(to_ms(a[1]), [&] {
        const HWND fg = GetForegroundWindow();
        return fg != nullptr && fg == e2e::find_window(a[0]);
    });
    if (!met) {
        say(L"foreground: " + e2e::window_title(GetForegroundWindow()));
    }
    return met ? kDone : kNotMet;
}

int activate(const Args& a) {
    const HWND hwnd = e2e::find_window(a[0]);
    if (hwnd == nullptr) {
        return kNotMet;
    }
    if (IsIconic(hwnd)) {
        ShowWindow(hwnd, SW_RESTORE);
    }
    SetForegroundWindow(hwnd);
    return wait_until(3000, [&] { return GetForegroundWindow() == hwnd; }) ? kDone : kNotMet;
}

int minimize(const Args& a) {
    const HWND hwnd = e2e::find_window(a[0]);
    if (hwnd == nullptr) {
        return kNotMet;
    }
    ShowWindow(hwnd, SW_MINIMIZE);
    return wait_until(3000, [&] { return IsIconic(hwnd) != FALSE; }) ? kDone : kNotMet;
}

int iconic(const Args& a) {
    const HWND hwnd = e2e::find_window(a[0]);
    if (hwnd == nullptr) {
        return kNotMet;
    }
    say(IsIconic(hwnd) ? L"minimized" : L"not minimized");
    return kDone;
}

int close(const Args& a) {
    const HWND hwnd = e2e::find_window(a[0]);
    return hwnd != nullptr && PostMessageW(hwnd, WM_CLOSE, 0, 0) ? kDone : kNotMet;
}

// All images given, together.
int count_process(const Args& a) {
    int n = 0;
    for (const auto& image : a) {
        n += e2e::count_processes(image);
    }
    say(std::to_wstring(n));
    return kDone;
}

// wait-process-count <image> <n> <ms>
int wait_process_count(const Args& a) {
    const int want = static_cast<int>(to_ms(a[1]));
    int last = -1;
    const bool met = wait_until(to_ms(a[2]), [&] {
        last = e2e::count_processes(a[0]);
        return last == want;
    });
    if (!met) {
        say(L"count: " + std::to_wstring(last));
    }
    return met ? kDone : kNotMet;
}

int kill_process(const Args& a) {
    int n = 0;
    for (const auto& image : a) {
        n += e2e::terminate_processes(image, 5000);
    }
    say(std::to_wstring(n));
    return kDone;
}

int count_windows(const Args& a) {
    int n = 0;
    for (const auto& w : e2e::top_level_windows()) {
        n += w.title == a[0] ? 1 : 0;
    }
    say(std::to_wstring(n));
    return kDone;
}

// For failure reports: every titled top-level window, one a line.
int list_windows(const Args&) {
    for (const auto& w : e2e::top_level_windows()) {
        if (w.title.empty()) {
            continue;
        }
        wchar_t head[64];
        std::swprintf(head, 64, L"pid %lu %-7ls ", static_cast<unsigned long>(w.pid),
                      w.visible ? L"visible" : L"hidden");
        say(head + (L"\"" + w.title + L"\" class " + w.class_name));
    }
    return kDone;
}

// Holds a file open without sharing, as a program that keeps its file locked does, for ms.
// Prints "held" once it has the file, so that a scenario can wait for that.
int hold_file(const Args& a) {
    HANDLE file = CreateFileW(a[0].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        say(L"cannot open " + a[0] + L": error " + std::to_wstring(GetLastError()));
        return kNotMet;
    }
    say(L"held");
    Sleep(to_ms(a[1]));
    CloseHandle(file);
    return kDone;
}

struct Command {
    std::wstring_view name;
    size_t min_args;
    size_t max_args;
    int (*run)(const Args&);
    std::wstring_view usage;
};

constexpr Command kCommands[] = {
    {L"press", 1, 2, press, L"press <key-name|0xVK> [hold-ms=100]"},
    {L"press-timed", 1, 2, press_timed,
     L"press-timed <key> [hold-ms] prints the clock at key-down"},
    {L"minimize", 1, 1, minimize, L"minimize <title>"},
    {L"iconic", 1, 1, iconic, L"iconic <title>             prints minimized|not minimized"},
    {L"type", 1, 1, type_text, L"type <text>                as characters (KEYEVENTF_UNICODE)"},
    {L"find", 1, 1, find, L"find <title>               prints visible|hidden"},
    {L"wait-window", 2, 3, wait_window, L"wait-window <title> <ms> [visible|hidden]"},
    {L"wait-no-window", 2, 2, wait_no_window, L"wait-no-window <title> <ms>"},
    {L"foreground", 0, 0, foreground, L"foreground                 prints its title"},
    {L"wait-foreground", 2, 2, wait_foreground, L"wait-foreground <title> <ms>"},
    {L"activate", 1, 1, activate, L"activate <title>"},
    {L"close", 1, 1, close, L"close <title>              posts WM_CLOSE"},
    {L"count-process", 1, 16, count_process, L"count-process <image>...    prints the total"},
    {L"wait-process-count", 3, 3, wait_process_count, L"wait-process-count <image> <n> <ms>"},
    {L"kill-process", 1, 16, kill_process, L"kill-process <image>...     prints how many ended"},
    {L"count-windows", 1, 1, count_windows, L"count-windows <title>      exact, case-sensitive"},
    {L"list-windows", 0, 0, list_windows, L"list-windows"},
    {L"hold-file", 2, 2, hold_file, L"hold-file <path> <ms>     open, unshared, for ms"},
};

int usage() {
    say(L"usage: rkdriver <command> [arguments]");
    for (const Command& c : kCommands) {
        say(std::wstring(L"  ") + std::wstring(c.usage));
    }
    return kUsage;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 2) {
        return usage();
    }
    const std::wstring_view name = argv[1];
    const Args args(argv + 2, argv + argc);
    for (const Command& c : kCommands) {
        if (c.name == name) {
            if (args.size() < c.min_args || args.size() > c.max_args) {
                return usage();
            }
            return c.run(args);
        }
    }
    return usage();
}
