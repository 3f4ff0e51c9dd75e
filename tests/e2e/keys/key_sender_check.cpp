// key_sender_check.exe: types chat lines through the program's own typing path (typeKeybind and
// the SendInput sender) into the focused stand-in game, and compares character by character what
// the game recorded. It holds a DirectInput keyboard as the program does, so injected keys take
// the same way through the system (its low-level hook) and held modifiers are read the same way.
//
//   key_sender_check check <record-file>        the cases below and the loop check; exit 0
//                                                when all hold
//   key_sender_check bench <record-file> [runs]  a 40-character line typed, timed
//   key_sender_check poll <record-file> [runs]   the same line typed by a 15 ms poll of the
//                                                keyboard when F9 goes down, timed from the press
#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>
// windows.h first: dinput.h relies on its types.
#include <dinput.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "input/key_watch.h"
#include "input/keybind_typing.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/key_sender_win.h"

namespace {

using Clock = std::chrono::steady_clock;
using rk::Key;

void say(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string visible(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string codes(const std::vector<std::uint8_t>& list) {
    std::string out;
    for (std::uint8_t c : list) {
        char buf[8];
        std::snprintf(buf, sizeof buf, " %02X", c);
        out += buf;
    }
    return "[" + out + " ]";
}

// The stand-in game's record of received characters, read while it grows.
class Record {
  public:
    explicit Record(std::wstring path) : path_(std::move(path)) {}

    std::string all() const {
        rk::win::UniqueKernelHandle file(
            CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        std::string text;
        if (!file)
            return text;
        char buf[4096];
        DWORD got = 0;
        while (ReadFile(file.get(), buf, sizeof buf, &got, nullptr) && got > 0)
            text.append(buf, got);
        return text;
    }
    // Waits until `bytes` more than `from` have arrived, or the time is up.
    void waitFor(std::size_t from, std::size_t bytes, DWORD timeoutMs) const {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (all().size() < from + bytes && Clock::now() < deadline) Sleep(1);
    }

  private:
    std::wstring path_;
};

// The keyboard as the program reads it.
class Keyboard {
  public:
    bool open() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"RkKeySenderCheck";
        RegisterClassW(&wc);
        window_.reset(CreateWindowExW(0, wc.lpszClassName, L"rk key sender check", 0, 0, 0, 10, 10,
                                      nullptr, nullptr, wc.hInstance, nullptr));
        return window_ &&
               SUCCEEDED(DirectInput8Create(wc.hInstance, DIRECTINPUT_VERSION, IID_IDirectInput8W,
                                            reinterpret_cast<void**>(input_.put()), nullptr)) &&
               SUCCEEDED(input_->CreateDevice(GUID_SysKeyboard, device_.put(), nullptr)) &&
               SUCCEEDED(device_->SetDataFormat(&c_dfDIKeyboard)) &&
               SUCCEEDED(device_->SetCooperativeLevel(window_.get(),
                                                      DISCL_NONEXCLUSIVE | DISCL_BACKGROUND)) &&
               bufferEvents() && SUCCEEDED(device_->Acquire());
    }
    // The DirectInput codes of the keys that went down since the last call, in order: what a
    // game reading buffered DirectInput data sees.
    std::vector<std::uint8_t> downs() {
        std::vector<std::uint8_t> codes;
        DIDEVICEOBJECTDATA data[64];
        for (;;) {
            DWORD count = 64;
            if (FAILED(device_->GetDeviceData(sizeof data[0], data, &count, 0)) || count == 0)
                return codes;
            for (DWORD i = 0; i < count; ++i) {
                if (data[i].dwData & 0x80)
                    codes.push_back(static_cast<std::uint8_t>(data[i].dwOfs));
            }
        }
    }
    rk::KeyState read() {
        rk::KeyState state{};
        device_->GetDeviceState(static_cast<DWORD>(state.size()), state.data());
        return state;
    }

  private:
    bool bufferEvents() {
        DIPROPDWORD size{};
        size.diph.dwSize = sizeof size;
        size.diph.dwHeaderSize = sizeof size.diph;
        size.diph.dwHow = DIPH_DEVICE;
        size.dwData = 1024;
        return SUCCEEDED(device_->SetProperty(DIPROP_BUFFERSIZE, &size.diph));
    }

    rk::win::UniqueWindow window_;
    rk::win::ComPtr<IDirectInput8W> input_;
    rk::win::ComPtr<IDirectInputDevice8W> device_;
};

// The player's hands: a modifier held as a physical key would be.
void physical(WORD vk, WORD scan, bool extended, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = scan;
    in.ki.dwFlags = (extended ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
    SendInput(1, &in, sizeof in);
}

struct HeldKey {
    WORD vk;
    WORD scan;
    bool extended;
    std::uint8_t dik;
};
constexpr HeldKey kLShift{VK_LSHIFT, 0x2A, false, 0x2A};
constexpr HeldKey kRCtrl{VK_RCONTROL, 0x1D, true, 0x9D};

struct Case {
    const char* name;
    std::string text;
    std::string arrives;  // as the game records it: Enter as "\n", Backspace as "\x08"
    const HeldKey* held = nullptr;
    // When set: the DirectInput codes of every key that went down, the line's Enter included.
    std::vector<std::uint8_t> downs = {};
};

bool activateGame() {
    const HWND game = FindWindowW(nullptr, L"Ironveil");
    if (game == nullptr)
        return false;
    SetForegroundWindow(game);
    for (int i = 0; i < 300 && GetForegroundWindow() != game; ++i) Sleep(10);
    return GetForegroundWindow() == game;
}

bool setUp(Keyboard& keyboard) {
    if (keyboard.open() && activateGame())
        return true;
    say("set-up failed: no DirectInput keyboard or no window titled Ironveil");
    return false;
}

int check(const Record& record) {
    Keyboard keyboard;
    if (!setUp(keyboard))
        return 2;
    const std::vector<Case> cases = {
        {"counter", "That was headshot number $a", "That was headshot number 1\n"},
        {"counter again", "That was headshot number $a", "That was headshot number 2\n"},
        {"notation", "+gg {~} {{}", "Gg ~ {\n"},
        {"empty line", "", "\n"},
        {"shifted characters", "Headshot!? \"yes\" #1 {}} {[}x{]} 50{%} a_b",
         "Headshot!? \"yes\" #1 } [x] 50% a_b\n"},
        {"groups", "+(abc) +1", "ABC !\n"},
        {"repeat and editing", "{a 3}{BS}b{LEFT}{DEL}c",
         "aaa\x08"
         "bc\n"},
        {"unicode", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",
         "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\n"},
        {"own key", "{F9}x{PRTSC}", "x\n"},
        {"held left shift", "hello World $a", "hello World 3\n", &kLShift},
        {"held right ctrl", "ctrl held", "ctrl held\n", &kRCtrl},
        // Games read scan codes: each named key must reach DirectInput as itself.
        {"named keys",
         "{ESC}{TAB}{BS}{DEL}{INS}{HOME}{END}{PGUP}{PGDN}{LEFT}{RIGHT}{UP}{DOWN}{F1}{F5}{F10}"
         "{F11}{F12}{F13}{F16}{ADD}{SUBTRACT}{MULTIPLY}{DIVIDE}{SCROLLLOCK 2}{NUMLOCK 2}"
         "{CAPSLOCK 2}{PRTSC}{BREAK}",
         "\x1B\t\x08+-*/\n",
         nullptr,
         {0x01, 0x0F, 0x0E, 0xD3, 0xD2, 0xC7, 0xCF, 0xC9, 0xD1, 0xCB, 0xCD,
          0xC8, 0xD0, 0x3B, 0x3F, 0x44, 0x57, 0x58, 0x64, 0x67, 0x4E, 0x4A,
          0x37, 0xB5, 0x46, 0x46, 0x45, 0x45, 0x3A, 0x3A, 0xB7, 0xC5, 0x1C}},
        {"modifiers the line holds", "+^%{HOME}", "\n", nullptr, {0x2A, 0x1D, 0x38, 0xC7, 0x1C}},
    };
    rk::win::SendInputKeySender sender;
    rk::KeybindCounters counters;
    int failed = 0;
    for (const Case& c : cases) {
        if (c.held != nullptr) {
            physical(c.held->vk, c.held->scan, c.held->extended, false);
            Sleep(50);
        }
        const rk::KeyState player = keyboard.read();
        if (c.held != nullptr && player[c.held->dik] == 0) {
            say(std::string("FAIL ") + c.name + ": DirectInput does not show the held key");
            ++failed;
        }
        const std::size_t before = record.all().size();
        keyboard.downs();
        const rk::KeybindOutcome outcome = rk::typeKeybind(1, c.text, counters, player, sender);
        const std::size_t atReturn = record.all().size() - before;
        record.waitFor(before, c.arrives.size(), 3000);
        // Nothing more may come (a loop, a doubled key).
        Sleep(100);
        const std::string after = record.all().substr(before);
        const rk::KeyState state = keyboard.read();
        const std::vector<std::uint8_t> downs = keyboard.downs();
        std::string problem;
        if (!outcome.message.empty())
            problem = "refused: " + outcome.message;
        else if (after != c.arrives)
            problem = "got \"" + visible(after) + "\", expected \"" + visible(c.arrives) + "\"";
        else if (atReturn != c.arrives.size())
            problem = "only " + std::to_string(atReturn) + " of " +
                      std::to_string(c.arrives.size()) + " bytes had arrived when typing returned";
        else if (c.held != nullptr && state[c.held->dik] == 0)
            problem = "the player's held key is no longer down";
        else if (!c.downs.empty() && downs != c.downs)
            problem = "DirectInput saw " + codes(downs) + ", expected " + codes(c.downs);
        for (std::uint8_t code : outcome.watchedKeysTyped) {
            if (state[code] != 0)
                problem = "typed key " + std::to_string(code) + " still shows down";
        }
        if (c.held != nullptr)
            physical(c.held->vk, c.held->scan, c.held->extended, true);
        say((problem.empty() ? "ok   " : "FAIL ") + std::string(c.name) +
            (problem.empty() ? "" : ": " + problem));
        failed += problem.empty() ? 0 : 1;
    }
    say(failed == 0 ? "all cases hold" : std::to_string(failed) + " case(s) failed");
    return failed == 0 ? 0 : 1;
}

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void summary(const char* what, std::vector<double> values) {
    std::sort(values.begin(), values.end());
    char buf[160];
    std::snprintf(buf, sizeof buf, "%-40s median %7.1f ms  worst %7.1f ms  (n=%zu)", what,
                  values[values.size() / 2], values.back(), values.size());
    say(buf);
}

const std::string kBenchLine = "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLM";  // 40 characters

// Waits for the line and its Enter; the time the 40th character was there, or nothing.
std::optional<Clock::time_point> lineArrived(const Record& record, std::size_t from) {
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    std::optional<Clock::time_point> last;
    std::string got;
    while (Clock::now() < deadline) {
        got = record.all().substr(from);
        if (!last && got.size() >= kBenchLine.size())
            last = Clock::now();
        if (got.size() > kBenchLine.size())
            break;
        Sleep(0);
    }
    if (got != kBenchLine + "\n") {
        say("FAIL: got \"" + visible(got) + "\"");
        return std::nullopt;
    }
    return last;
}

int bench(const Record& record, int runs) {
    Keyboard keyboard;
    if (!setUp(keyboard))
        return 2;
    rk::win::SendInputKeySender sender;
    std::vector<double> returned, lastChar;
    int complete = 0;
    rk::KeybindCounters counters;
    for (int run = 0; run < runs; ++run) {
        const std::size_t before = record.all().size();
        const auto start = Clock::now();
        rk::typeKeybind(1, kBenchLine, counters, rk::KeyState{}, sender);
        const auto back = Clock::now();
        const bool allThere = record.all().size() - before == kBenchLine.size() + 1;
        const auto last = lineArrived(record, before);
        if (!last)
            return 1;
        complete += allThere ? 1 : 0;
        returned.push_back(ms(back - start));
        lastChar.push_back(ms((allThere ? back : *last) - start));
        Sleep(50);
    }
    summary("typing call returned (line + Enter)", returned);
    summary("40th character arrived", lastChar);
    say("runs in which line and Enter had all arrived when typing returned: " +
        std::to_string(complete) + " of " + std::to_string(runs));
    return 0;
}

// The program's path from a key press: a 15 ms timer reads the DirectInput keyboard, a press of
// F9 or F10 types its line, and the keys the line typed are not taken for the player's.
// Runs on the calling thread until `stop` is posted to it.
void poll(Keyboard& keyboard, const std::string (&lines)[2]) {
    rk::win::SendInputKeySender sender;
    rk::KeybindCounters counters;
    rk::KeyWatch watch;
    const UINT_PTR timer = SetTimer(nullptr, 0, 15, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message != WM_TIMER)
            continue;
        const rk::KeyState state = keyboard.read();
        for (rk::KeyAction action : watch.pressed(state)) {
            const int keybind = action == rk::KeyAction::Keybind1   ? 1
                                : action == rk::KeyAction::Keybind2 ? 2
                                                                    : 0;
            if (keybind == 0)
                continue;
            const auto outcome =
                rk::typeKeybind(keybind, lines[keybind - 1], counters, state, sender);
            for (std::uint8_t code : outcome.watchedKeysTyped) watch.ignoreUntilReleased(code);
        }
    }
    KillTimer(nullptr, timer);
}

// A press of F9, held 100 ms like a finger.
void pressF9() {
    physical(VK_F9, 0x43, false, false);
    Sleep(100);
    physical(VK_F9, 0x43, false, true);
}

int pollBench(const Record& record, int runs) {
    Keyboard keyboard;
    if (!setUp(keyboard))
        return 2;
    const DWORD pollThread = GetCurrentThreadId();
    std::vector<double> lastChar;
    bool failed = false;
    std::thread presser([&] {
        for (int run = 0; run < runs && !failed; ++run) {
            Sleep(300);
            const std::size_t before = record.all().size();
            const auto press = Clock::now();
            pressF9();
            const auto last = lineArrived(record, before);
            failed = !last;
            if (last)
                lastChar.push_back(ms(*last - press));
        }
        PostThreadMessageW(pollThread, WM_QUIT, 0, 0);
    });
    poll(keyboard, {kBenchLine, ""});
    presser.join();
    if (failed)
        return 1;
    summary("F9 press to 40th character", lastChar);
    return 0;
}

// Lines that type the poll's own keys, each other's included, are typed once per press.
int loopCheck(const Record& record) {
    Keyboard keyboard;
    if (!setUp(keyboard))
        return 2;
    const DWORD pollThread = GetCurrentThreadId();
    const std::size_t before = record.all().size();
    std::thread presser([&] {
        Sleep(300);
        pressF9();
        Sleep(2000);
        PostThreadMessageW(pollThread, WM_QUIT, 0, 0);
    });
    poll(keyboard, {"ping {F10}{F9}{PRTSC}{BREAK}{SCROLLLOCK}", "pong {F9}"});
    presser.join();
    const std::string got = record.all().substr(before);
    const bool once = got == "ping \n";
    say(std::string(once ? "ok   " : "FAIL ") + "a line typing F9 and F10 (F10's typing F9)" +
        (once ? " was typed once" : ": got \"" + visible(got) + "\""));
    return once ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        say("usage: key_sender_check check|bench|poll <record-file> [runs]");
        return 2;
    }
    // As the program runs.
    SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    const std::wstring mode = argv[1];
    const Record record(argv[2]);
    if (mode == L"check") {
        const int cases = check(record);
        const int loops = loopCheck(record);
        return std::max(cases, loops);
    }
    const int runs = argc > 3 ? _wtoi(argv[3]) : 20;
    if (mode == L"bench")
        return bench(record, runs);
    if (mode == L"poll")
        return pollBench(record, runs);
    say("unknown mode");
    return 2;
}
