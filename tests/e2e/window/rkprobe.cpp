// rkprobe: reads the live windows of a running raidkit.exe back and compares them with the
// design table, and drives them as a player would, for the window scenarios. Run without
// arguments for the commands. Exit status 0 on success, 1 on a mismatch or a condition not met
// in time, 2 on a usage error.
#include <windows.h>
// shellapi.h needs the types windows.h defines.
#include <shellapi.h>

#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "input_inject.h"
#include "layout_check.h"
#include "live_window.h"
#include "platform/win32/text_win.h"
#include "program_dialogs.h"
#include "screen_capture.h"

namespace rkprobe {
namespace {

constexpr int kDefaultTimeoutMs = 20000;

using Args = std::vector<std::string>;

int usage() {
    std::fputs(
        "usage: rkprobe COMMAND ...\n"
        "  check main|info [--dpi N] [--player-values] [--disabled A,B,...]\n"
        "      compare the live window with its design; prints each mismatch and the counts\n"
        "  wait CONDITION [TIMEOUT_MS]\n"
        "      main-visible main-hidden info-visible info-hidden gone menu no-menu\n"
        "      tray-icon no-tray-icon dialog=TITLE no-dialog=TITLE\n"
        "  rect main|info|menu          window rectangle on the screen: X Y W H\n"
        "  settle main|info             bring the window to the front and wait for its paint\n"
        "  menu-point INDEX COUNT       centre of item INDEX of the open pop-up menu: X Y\n"
        "  get main|info CONTROL text|checked|enabled|focused\n"
        "  click main|info CONTROL      press a button or tick a box (BM_CLICK)\n"
        "  type CONTROL TEXT            focus a main-window text box and type TEXT over its text\n"
        "  key escape|enter             press a key in the window that has the focus\n"
        "  tray-delete                  take the program's tray icon away, as a new taskbar does\n"
        "  taskbar-created              tell the main window that the taskbar was re-created\n"
        "  close                        close the main window (WM_CLOSE)\n",
        stderr);
    std::fputs(kDialogCommandsUsage, stderr);
    return 2;
}

std::wstring wide(const std::string& s) {
    return rk::win::toWide(s);
}

HWND visibleWindowOfClass(const wchar_t* windowClass) {
    struct Search {
        const wchar_t* cls;
        HWND found;
    } search{windowClass, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            wchar_t cls[64] = {};
            GetClassNameW(hwnd, cls, 64);
            if (!IsWindowVisible(hwnd) || lstrcmpW(cls, s->cls) != 0)
                return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The tray icon the program adds: its main window and identifier 1.
NOTIFYICONDATAW trayIconOf(HWND main) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = main;
    data.uID = 1;
    return data;
}

bool trayIconPresent() {
    HWND main = findProgramWindow(Which::Main);
    if (!main)
        return false;
    // Changing nothing succeeds only for an icon the shell holds.
    NOTIFYICONDATAW data = trayIconOf(main);
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

std::function<bool()> conditionOf(const std::string& name) {
    auto visibleOf = [](Which which, bool shown) {
        return [which, shown] {
            HWND w = findProgramWindow(which);
            return w && (IsWindowVisible(w) != FALSE) == shown;
        };
    };
    if (name == "main-visible")
        return visibleOf(Which::Main, true);
    if (name == "main-hidden")
        return visibleOf(Which::Main, false);
    if (name == "info-visible")
        return visibleOf(Which::Info, true);
    if (name == "info-hidden")
        return visibleOf(Which::Info, false);
    if (name == "gone")
        return [] { return !findProgramWindow(Which::Main) && !findProgramWindow(Which::Info); };
    if (name == "menu")
        return [] { return visibleWindowOfClass(L"#32768") != nullptr; };
    if (name == "no-menu")
        return [] { return visibleWindowOfClass(L"#32768") == nullptr; };
    if (name == "tray-icon")
        return trayIconPresent;
    if (name == "no-tray-icon")
        return [] { return !trayIconPresent(); };
    if (name.rfind("dialog=", 0) == 0)
        return [title = name.substr(7)] { return programDialog(title) != nullptr; };
    if (name.rfind("no-dialog=", 0) == 0)
        return [title = name.substr(10)] { return programDialog(title) == nullptr; };
    return nullptr;
}

void printRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
}

int check(const Args& args) {
    const std::optional<Which> which = args.size() < 2 ? std::nullopt : whichOf(args[1]);
    if (!which)
        return usage();
    CheckOptions options;
    for (std::size_t i = 2; i < args.size(); ++i) {
        if (args[i] == "--dpi" && i + 1 < args.size()) {
            options.expectedDpi = static_cast<unsigned>(std::stoul(args[++i]));
        } else if (args[i] == "--player-values") {
            options.designValues = false;
        } else if (args[i] == "--disabled" && i + 1 < args.size()) {
            std::stringstream list(args[++i]);
            for (std::string name; std::getline(list, name, ',');) options.disabled.insert(name);
        } else {
            return usage();
        }
    }
    const CheckResult result = checkWindow(*which, options);
    for (const auto& line : result.mismatches) std::printf("MISMATCH %s\n", line.c_str());
    std::printf(
        "checked %s at %u dpi: %d controls, %d overlapping pairs, %d tab steps, %d colour "
        "checks, %zu mismatches\n",
        args[1].c_str(), result.dpi, result.controls, result.overlaps, result.tabStops,
        result.colourChecks, result.mismatches.size());
    return result.mismatches.empty() && result.controls > 0 ? 0 : 1;
}

int get(const Args& args) {
    const std::optional<Which> which = args.size() != 4 ? std::nullopt : whichOf(args[1]);
    if (!which)
        return usage();
    HWND control = controlOf(*which, args[2]);
    if (!control) {
        std::fprintf(stderr, "no control %s\n", args[2].c_str());
        return 1;
    }
    const std::string& what = args[3];
    if (what == "text") {
        std::printf("%s\n", rk::win::toUtf8(windowText(control)).c_str());
    } else if (what == "checked") {
        std::printf("%d\n", isChecked(control) ? 1 : 0);
    } else if (what == "enabled") {
        std::printf("%d\n", IsWindowEnabled(control) ? 1 : 0);
    } else if (what == "focused") {
        std::printf("%d\n", focusOf(GetAncestor(control, GA_ROOT)) == control ? 1 : 0);
    } else {
        return usage();
    }
    return 0;
}

int typeInto(HWND box, const std::string& text) {
    if (!focusControl(box)) {
        std::fprintf(stderr, "the text box does not take the focus\n");
        return 1;
    }
    SendMessageW(box, EM_SETSEL, 0, -1);
    const std::wstring typed = wide(text);
    typeText(typed);
    // Typing stops at the box's limit.
    const auto limit = static_cast<std::size_t>(SendMessageW(box, EM_GETLIMITTEXT, 0, 0));
    const std::wstring expected = typed.substr(0, std::min(limit, typed.size()));
    waitFor([&] { return windowText(box) == expected; }, 5000);
    std::printf("%s\n", rk::win::toUtf8(windowText(box)).c_str());
    return 0;
}

int run(const Args& args) {
    if (args.empty())
        return usage();
    const std::string& command = args[0];
    if (command == "check")
        return check(args);
    if (command == "get")
        return get(args);
    if (command == "wait") {
        if (args.size() < 2 || args.size() > 3)
            return usage();
        auto condition = conditionOf(args[1]);
        if (!condition)
            return usage();
        const int timeout = args.size() == 3 ? std::stoi(args[2]) : kDefaultTimeoutMs;
        if (waitFor(condition, timeout))
            return 0;
        std::fprintf(stderr, "not %s within %d ms\n", args[1].c_str(), timeout);
        return 1;
    }
    if (command == "rect" && args.size() == 2) {
        const std::optional<Which> which = whichOf(args[1]);
        HWND window = args[1] == "menu" ? visibleWindowOfClass(L"#32768")
                      : which           ? findProgramWindow(*which)
                                        : nullptr;
        if (!window)
            return 1;
        printRect(window);
        return 0;
    }
    if (command == "settle" && args.size() == 2) {
        const std::optional<Which> which = whichOf(args[1]);
        HWND window = which ? findProgramWindow(*which) : nullptr;
        if (!window)
            return 1;
        SetForegroundWindow(window);
        RECT area{};
        GetWindowRect(window, &area);
        // Painted once two captures in a row are equal.
        std::optional<ScreenCapture> last;
        const bool settled = waitFor(
            [&] {
                ScreenCapture next(area);
                const bool same = last && *last == next && GetForegroundWindow() == window;
                last = std::move(next);
                return same;
            },
            kDefaultTimeoutMs);
        return settled ? 0 : 1;
    }
    if (command == "menu-point" && args.size() == 3) {
        HWND menu = visibleWindowOfClass(L"#32768");
        const int index = std::stoi(args[1]), count = std::stoi(args[2]);
        if (!menu || count <= 0 || index < 0 || index >= count)
            return 1;
        // The items share the menu's height evenly, inside a thin border.
        RECT r{};
        GetWindowRect(menu, &r);
        const int top = r.top + 3, height = (r.bottom - r.top) - 6;
        std::printf("%ld %d\n", (r.left + r.right) / 2,
                    top + height * (2 * index + 1) / (2 * count));
        return 0;
    }
    if (command == "click" && args.size() == 3) {
        const std::optional<Which> which = whichOf(args[1]);
        HWND control = which ? controlOf(*which, args[2]) : nullptr;
        if (!control)
            return 1;
        // Posted: the click may open a modal dialog, which would hold a sent message.
        PostMessageW(control, BM_CLICK, 0, 0);
        return 0;
    }
    if (command == "type" && args.size() == 3) {
        HWND box = controlOf(Which::Main, args[1]);
        return box ? typeInto(box, args[2]) : 1;
    }
    if (command == "key" && args.size() == 2) {
        const std::map<std::string, WORD> keys = {{"escape", VK_ESCAPE}, {"enter", VK_RETURN}};
        const auto it = keys.find(args[1]);
        if (it == keys.end())
            return usage();
        pressKey(it->second);
        return 0;
    }
    if (std::optional<int> status = runDialogCommand(args))
        return *status;
    if (command == "tray-delete" && args.size() == 1) {
        HWND main = findProgramWindow(Which::Main);
        NOTIFYICONDATAW data = trayIconOf(main);
        return main && Shell_NotifyIconW(NIM_DELETE, &data) ? 0 : 1;
    }
    if (command == "taskbar-created" && args.size() == 1) {
        HWND main = findProgramWindow(Which::Main);
        return main && PostMessageW(main, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0) ? 0 : 1;
    }
    if (command == "close" && args.size() == 1) {
        HWND main = findProgramWindow(Which::Main);
        return main && PostMessageW(main, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    return usage();
}

// Window positions must come in the same pixels the program uses at any DPI.
void becomeDpiAware() {
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    const auto setContext = reinterpret_cast<SetContextFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
    if (!setContext || !setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4))))
        SetProcessDPIAware();
}

}  // namespace
}  // namespace rkprobe

int wmain(int argc, wchar_t** argv) {
    rkprobe::becomeDpiAware();
    rkprobe::Args args;
    for (int i = 1; i < argc; ++i) args.push_back(rk::win::toUtf8(argv[i]));
    try {
        return rkprobe::run(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "rkprobe: %s\n", e.what());
        return 2;
    }
}
