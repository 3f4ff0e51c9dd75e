// soak_driver: the hands of the long-run bench (run_longrun.sh). Beside raidkit.exe in tray
// mode and the stand-in game, it presses F9 every second and Print Screen every 2 s, and opens
// a "Messenger Service" pop-up every 500 ms, each at a moment when nothing else is going on:
// every action waits for its outcome (the chat line recorded, the screenshot stored, the
// pop-up closed) before the next one starts, so a pop-up taking the focus can never eat typed
// keys, and a key is never pressed while the program is still busy with the one before.
//
//   soak_driver run --seconds S --log FILE --record FILE --shots DIR --crowd N --ack FILE
//   soak_driver counts     prints the GDI and USER objects raidkit.exe's handle owners hold
//
// The log gets one line per action, and every 10 s, at a quiet moment, a "sample" line with
// the handle counts; the script reads the process's figures in /proc then and acknowledges by
// writing the sample's number into the --ack file, and only then does the driver go on.
// Exit status: 0 run to its end, 1 could not run, 2 wrong usage.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "key_names.h"
#include "platform/win32/control_ids_win.h"
#include "platform/win32/handles_win.h"
#include "send_keys.h"
#include "top_windows.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr wchar_t kGameTitle[] = L"Ironveil";
constexpr wchar_t kPopupTitle[] = L"Messenger Service";
constexpr wchar_t kCrowdPrefix[] = L"Crowd window ";

// One slot every 250 ms; a 2 s cycle of eight: F9, pop-up, Print Screen, pop-up, F9, pop-up,
// quiet (the samples), pop-up.
constexpr milliseconds kSlot{250};
constexpr int kSlotsPerCycle = 8;
constexpr int kSampleEverySlots = 40;  // 10 s
constexpr int kQuietSlot = 6;

// How long an outcome is waited for before the action counts as failed and the run goes on.
// Generous: the verdicts are made on the outcomes, these only keep a broken run moving.
constexpr milliseconds kLineWait{5000};
constexpr milliseconds kShotWait{10000};
constexpr milliseconds kPopupWait{5000};
constexpr milliseconds kFrontWait{2000};
constexpr milliseconds kAckWait{10000};
// A player's press. The key stays down beyond it until its outcome shows: on a machine busy
// with other work the program's 15 ms poll may not run for longer than a press lasts, and a
// press it never saw would say nothing about the program.
constexpr milliseconds kKeyHold{100};

int ms_since(Clock::time_point start) {
    return static_cast<int>(std::chrono::duration_cast<milliseconds>(Clock::now() - start).count());
}

std::int64_t unix_ms() {
    FILETIME ft{};
    GetSystemTimePreciseAsFileTime(&ft);
    const std::int64_t ticks =
        (static_cast<std::int64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return (ticks - 116444736000000000LL) / 10000;
}

void say(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The action log: each line written through at once, for the script reading it meanwhile.
class Log {
  public:
    bool open(const std::wstring& path) {
        file_.reset(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        return static_cast<bool>(file_);
    }
    void line(const std::string& text) {
        const std::string bytes = text + "\n";
        DWORD written = 0;
        WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }

  private:
    rk::win::UniqueKernelHandle file_;
};

// The whole file, or nothing when it cannot be read (yet).
std::string read_file(const std::wstring& path) {
    rk::win::UniqueKernelHandle file(CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, 0, nullptr));
    if (!file)
        return {};
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        text.append(buffer, got);
    }
    return text;
}

int count_lines(const std::wstring& path) {
    const std::string text = read_file(path);
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

int count_files(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int n = 0;
    do {
        n += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return n;
}

// Waits, handling this thread's messages (the pop-ups' WM_CLOSE among them), until condition
// holds or the time is up.
bool pump_until(Clock::time_point deadline, const std::function<bool()>& condition) {
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (condition())
            return true;
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero())
            return false;
        const auto wait = std::min<Clock::duration>(left, milliseconds(5));
        MsgWaitForMultipleObjects(
            0, nullptr, FALSE,
            static_cast<DWORD>(std::chrono::duration_cast<milliseconds>(wait).count()) + 1,
            QS_ALLINPUT);
    }
}

bool pump_for(milliseconds time, const std::function<bool()>& condition) {
    return pump_until(Clock::now() + time, condition);
}

// Down for at least a press's time and until outcome holds or wait is up; false when the
// outcome did not come. refused: Windows would not take the key.
bool press_until(const e2e::KeySpec& key, milliseconds wait, const std::function<bool()>& outcome,
                 bool& refused) {
    refused = !e2e::send_key_event(key, false);
    if (refused)
        return false;
    const auto down = Clock::now();
    pump_until(down + kKeyHold, [] { return false; });
    const bool seen = pump_until(down + wait, outcome);
    refused = !e2e::send_key_event(key, true);
    return seen;
}

// --- the program's handle counts ----------------------------------------------------------

struct Counts {
    std::int32_t gdi;
    std::int32_t user;
};

std::optional<Counts> handle_counts() {
    static const UINT message = RegisterWindowMessageW(rk::win::kHandleCountsMessage);
    HWND main = FindWindowW(rk::win::kMainWindowClass, nullptr);
    DWORD_PTR answer = 0;
    if (main == nullptr || message == 0 ||
        SendMessageTimeoutW(main, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) == 0) {
        return std::nullopt;
    }
    const auto packed = static_cast<std::uint64_t>(answer);
    return Counts{static_cast<std::int32_t>(packed >> 32),
                  static_cast<std::int32_t>(packed & 0xFFFFFFFFu)};
}

// --- pop-ups ----------------------------------------------------------------------------------

// One pop-up at a time: when it was opened, and when the close request reached it.
struct Popup {
    HWND window = nullptr;
    Clock::time_point opened;
    std::optional<Clock::time_point> closeAsked;
    bool gone = false;
};
Popup g_popup;

LRESULT CALLBACK popup_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE && hwnd == g_popup.window && !g_popup.closeAsked)
        g_popup.closeAsked = Clock::now();
    if (msg == WM_NCDESTROY && hwnd == g_popup.window)
        g_popup.gone = true;
    return DefWindowProcW(hwnd, msg, wp, lp);
}

bool register_popup_class() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = popup_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"SoakMessengerPopup";
    return RegisterClassW(&wc) != 0;
}

// --- the run ----------------------------------------------------------------------------------

struct Options {
    int seconds = 0;
    int crowd = 0;
    std::wstring log;
    std::wstring record;
    std::wstring shots;
    std::wstring ack;
};

class Soak {
  public:
    explicit Soak(const Options& o) : o_(o) {}

    int run() {
        if (!log_.open(o_.log)) {
            say("cannot write the log");
            return 1;
        }
        f9_ = *e2e::parse_key("F9");
        printScreen_ = *e2e::parse_key("PrintScreen");
        if (!register_popup_class()) {
            say("cannot register the pop-up class");
            return 1;
        }
        if (!ready())
            return 1;

        // The figures at rest, before the first action; the clock starts after them.
        start_ = Clock::now();
        sample(0);
        start_ = Clock::now();
        log_.line("start unix_ms " + std::to_string(unix_ms()));
        const int slots = o_.seconds * 1000 / static_cast<int>(kSlot.count());
        for (int slot = 0; slot < slots; ++slot) {
            const auto due = start_ + kSlot * slot;
            // Never early; when late, the slots catch up one after another.
            pump_until(due, [] { return false; });
            lateMs_ = std::max(lateMs_, ms_since(due));
            const int inCycle = slot % kSlotsPerCycle;
            if (inCycle % 2 == 1) {
                popup();
            } else if (inCycle == 0 || inCycle == 4) {
                press_f9();
            } else if (inCycle == 2) {
                press_print_screen();
            } else if ((slot + kSlotsPerCycle - kQuietSlot) % kSampleEverySlots == 0) {
                // The quiet slot ending each 10 s: 9.5 s, 19.5 s, ...
                sample((slot + kSlotsPerCycle - kQuietSlot) / kSampleEverySlots);
            }
        }
        log_.line("end at " + std::to_string(ms_since(start_)) + " f9 " + std::to_string(f9s_) +
                  " shots " + std::to_string(shots_) + " popups " + std::to_string(popups_) +
                  " max_late_ms " + std::to_string(lateMs_));
        say("soak_driver: " + std::to_string(f9s_) + " F9, " + std::to_string(shots_) +
            " Print Screen, " + std::to_string(popups_) + " pop-ups in " +
            std::to_string(ms_since(start_) / 1000) + " s; slots at most " +
            std::to_string(lateMs_) + " ms late");
        return 0;
    }

  private:
    // Everything in place: the other windows, the game, raidkit.exe answering, the game in front.
    bool ready() {
        const bool crowd = pump_for(milliseconds(60000), [this] {
            int n = 0;
            for (const auto& w : e2e::top_level_windows()) {
                n += w.title.starts_with(kCrowdPrefix) ? 1 : 0;
            }
            return n >= o_.crowd;
        });
        if (!crowd) {
            say("the " + std::to_string(o_.crowd) + " other windows did not appear within 60 s");
            return false;
        }
        game_ = e2e::find_window(kGameTitle);
        if (game_ == nullptr) {
            say("no game window");
            return false;
        }
        if (!pump_for(milliseconds(30000), [] { return handle_counts().has_value(); })) {
            say("raidkit.exe's main window does not answer");
            return false;
        }
        if (!game_in_front()) {
            say("cannot bring the game to the front");
            return false;
        }
        return true;
    }

    bool game_in_front() {
        if (GetForegroundWindow() == game_)
            return true;
        SetForegroundWindow(game_);
        return pump_for(kFrontWait, [this] { return GetForegroundWindow() == game_; });
    }

    // The chat line goes to whichever window is active: the game must be, as a player's is.
    void press_f9() {
        if (!pump_for(kFrontWait, [this] { return GetForegroundWindow() == game_; })) {
            log_.line("refocus at " + std::to_string(ms_since(start_)));
            game_in_front();
        }
        const int before = count_lines(o_.record);
        const int at = ms_since(start_);
        ++f9s_;
        bool refused = false;
        const bool arrived = press_until(
            f9_, kLineWait, [&] { return count_lines(o_.record) > before; }, refused);
        const int took = ms_since(start_) - at;
        log_.line("f9 " + std::to_string(f9s_) + " at " + std::to_string(at) + " line " +
                  (refused   ? "refused"
                   : arrived ? std::to_string(took)
                             : "missing"));
    }

    void press_print_screen() {
        const int before = count_files(o_.shots);
        const int at = ms_since(start_);
        ++shots_;
        bool refused = false;
        const bool stored = press_until(
            printScreen_, kShotWait, [&] { return count_files(o_.shots) > before; }, refused);
        const int took = ms_since(start_) - at;
        log_.line("shot " + std::to_string(shots_) + " at " + std::to_string(at) + " file " +
                  (refused  ? "refused"
                   : stored ? std::to_string(took)
                            : "missing"));
    }

    // Shown and activated, as a messenger's pop-up is; raidkit.exe should ask it to close.
    void popup() {
        ++popups_;
        const int at = ms_since(start_);
        g_popup = Popup{};
        g_popup.opened = Clock::now();
        HWND hwnd = CreateWindowExW(0, L"SoakMessengerPopup", kPopupTitle,
                                    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 560, 420, 300, 120,
                                    nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (hwnd == nullptr) {
            log_.line("popup " + std::to_string(popups_) + " at " + std::to_string(at) +
                      " refused");
            return;
        }
        g_popup.window = hwnd;
        ShowWindow(hwnd, SW_SHOWNORMAL);
        SetForegroundWindow(hwnd);
        const bool closed = pump_until(g_popup.opened + kPopupWait, [] { return g_popup.gone; });
        std::string outcome = "open";
        if (g_popup.closeAsked) {
            outcome = std::to_string(
                std::chrono::duration_cast<milliseconds>(*g_popup.closeAsked - g_popup.opened)
                    .count());
        }
        if (!closed)
            DestroyWindow(hwnd);  // not asked in time: out of the way of the next action
        log_.line("popup " + std::to_string(popups_) + " at " + std::to_string(at) + " closed " +
                  outcome);
        g_popup = Popup{};
    }

    // The figures of this moment; the script adds the process's own and answers.
    void sample(int number) {
        const auto counts = handle_counts();
        log_.line("sample " + std::to_string(number) + " at " + std::to_string(ms_since(start_)) +
                  " gdi " + (counts ? std::to_string(counts->gdi) : std::string("-")) + " user " +
                  (counts ? std::to_string(counts->user) : std::string("-")));
        const std::string want = std::to_string(number);
        const bool acked = pump_for(kAckWait, [&] {
            std::string text = read_file(o_.ack);
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
            return text == want;
        });
        if (!acked)
            log_.line("sample " + want + " not acknowledged");
    }

    Options o_;
    Log log_;
    e2e::KeySpec f9_;
    e2e::KeySpec printScreen_;
    HWND game_ = nullptr;
    Clock::time_point start_;
    int f9s_ = 0;
    int shots_ = 0;
    int popups_ = 0;
    int lateMs_ = 0;
};

int usage() {
    say("usage: soak_driver run --seconds S --log FILE --record FILE --shots DIR --crowd N "
        "--ack FILE");
    say("       soak_driver counts");
    return 2;
}

std::optional<Options> parse_run(int argc, wchar_t** argv) {
    Options o;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::wstring_view name = argv[i];
        const std::wstring value = argv[i + 1];
        if (name == L"--seconds")
            o.seconds = static_cast<int>(std::wcstol(value.c_str(), nullptr, 10));
        else if (name == L"--crowd")
            o.crowd = static_cast<int>(std::wcstol(value.c_str(), nullptr, 10));
        else if (name == L"--log")
            o.log = value;
        else if (name == L"--record")
            o.record = value;
        else if (name == L"--shots")
            o.shots = value;
        else if (name == L"--ack")
            o.ack = value;
        else
            return std::nullopt;
    }
    if (argc % 2 != 0 || o.seconds <= 0 || o.log.empty() || o.record.empty() || o.shots.empty() ||
        o.ack.empty()) {
        return std::nullopt;
    }
    return o;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 2)
        return usage();
    const std::wstring_view command = argv[1];
    if (command == L"counts" && argc == 2) {
        const auto counts = handle_counts();
        if (!counts) {
            say("raidkit.exe's main window does not answer");
            return 1;
        }
        say(std::to_string(counts->gdi) + " " + std::to_string(counts->user));
        return 0;
    }
    if (command == L"run") {
        const auto options = parse_run(argc, argv);
        if (!options)
            return usage();
        return Soak(*options).run();
    }
    return usage();
}
