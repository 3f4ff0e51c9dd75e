// Implements: rk::win::SendInputKeySender (SendInput with virtual-key and scan codes, Unicode input
// for characters the keyboard layout lacks, paced until the focused window has caught up).
#include "platform/win32/key_sender_win.h"

#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/system_error_win.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace rk::win {

namespace {

struct VirtualKey {
    Key key;
    WORD vk;
};
// The one translation from the program's keys to Windows' virtual keys.
constexpr VirtualKey kVirtualKeys[] = {
    {Key::Escape, VK_ESCAPE},
    {Key::Backspace, VK_BACK},
    {Key::Tab, VK_TAB},
    {Key::Enter, VK_RETURN},
    {Key::LCtrl, VK_LCONTROL},
    {Key::LShift, VK_LSHIFT},
    {Key::RShift, VK_RSHIFT},
    {Key::NumMultiply, VK_MULTIPLY},
    {Key::LAlt, VK_LMENU},
    {Key::CapsLock, VK_CAPITAL},
    {Key::F1, VK_F1},
    {Key::F2, VK_F2},
    {Key::F3, VK_F3},
    {Key::F4, VK_F4},
    {Key::F5, VK_F5},
    {Key::F6, VK_F6},
    {Key::F7, VK_F7},
    {Key::F8, VK_F8},
    {Key::F9, VK_F9},
    {Key::F10, VK_F10},
    {Key::NumLock, VK_NUMLOCK},
    {Key::ScrollLock, VK_SCROLL},
    {Key::NumSubtract, VK_SUBTRACT},
    {Key::NumAdd, VK_ADD},
    {Key::F11, VK_F11},
    {Key::F12, VK_F12},
    {Key::F13, VK_F13},
    {Key::F14, VK_F14},
    {Key::F15, VK_F15},
    {Key::F16, VK_F16},
    {Key::RCtrl, VK_RCONTROL},
    {Key::NumDivide, VK_DIVIDE},
    {Key::PrintScreen, VK_SNAPSHOT},
    {Key::RAlt, VK_RMENU},
    {Key::Pause, VK_PAUSE},
    {Key::Home, VK_HOME},
    {Key::Up, VK_UP},
    {Key::PageUp, VK_PRIOR},
    {Key::Left, VK_LEFT},
    {Key::Right, VK_RIGHT},
    {Key::End, VK_END},
    {Key::Down, VK_DOWN},
    {Key::PageDown, VK_NEXT},
    {Key::Insert, VK_INSERT},
    {Key::Delete, VK_DELETE},
};

WORD virtualKeyOf(Key key) {
    for (const VirtualKey& v : kVirtualKeys) {
        if (v.key == key)
            return v.vk;
    }
    return 0;
}

INPUT keyInput(WORD vk, WORD scan, bool extended, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = scan;
    in.ki.dwFlags = (extended ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
    return in;
}

// The DirectInput code is the key's scan code plus 0x80 for the E0-prefixed ones; games read the
// scan code. Pause and Num Lock share scan 0x45, and Windows calls Num Lock the extended one.
INPUT namedKeyInput(Key key, bool up) {
    const std::uint8_t dik = directInputCode(key);
    if (key == Key::Pause)
        return keyInput(VK_PAUSE, 0x45, false, up);
    if (key == Key::NumLock)
        return keyInput(VK_NUMLOCK, 0x45, true, up);
    return keyInput(virtualKeyOf(key), dik & 0x7F, (dik & 0x80) != 0, up);
}

void addUnicode(std::vector<INPUT>& out, char32_t c) {
    wchar_t units[2];
    int count = 1;
    if (c > 0xFFFF) {
        units[0] = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
        units[1] = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        count = 2;
    } else {
        units[0] = static_cast<wchar_t>(c);
    }
    for (int i = 0; i < count; ++i) {
        for (bool up : {false, true}) {
            INPUT in{};
            in.type = INPUT_KEYBOARD;
            in.ki.wScan = units[i];
            in.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
            out.push_back(in);
        }
    }
}

// In the same SendInput call as the key they go with: nothing comes between the inputs of one call.
void addLetGo(std::vector<INPUT>& out, Modifiers letGo) {
    struct Side {
        Modifiers bit;
        Key key;
    };
    constexpr Side kSides[] = {{mod::kShift, Key::LShift}, {mod::kShift, Key::RShift},
                               {mod::kCtrl, Key::LCtrl},   {mod::kCtrl, Key::RCtrl},
                               {mod::kAlt, Key::LAlt},     {mod::kAlt, Key::RAlt}};
    for (const Side& side : kSides) {
        if (letGo & side.bit)
            out.push_back(namedKeyInput(side.key, true));
    }
}

// VkKeyScan's shift-state bits and the keys that give them.
struct LayoutModifier {
    BYTE layoutBit;
    Modifiers bit;
    Key key;
};
constexpr LayoutModifier kLayoutModifiers[] = {
    {1, mod::kShift, Key::LShift}, {2, mod::kCtrl, Key::LCtrl}, {4, mod::kAlt, Key::LAlt}};

// What the key gives on the layout with Caps Lock on and the given modifiers (VkKeyScan's bits);
// 0 when it gives no single character.
wchar_t givenWithCapsLock(BYTE vk, WORD scan, BYTE shiftState, HKL layout) {
    BYTE state[256] = {};
    state[VK_CAPITAL] = 0x01;
    if (shiftState & 1)
        state[VK_SHIFT] = 0x80;
    if (shiftState & 2)
        state[VK_CONTROL] = 0x80;
    if (shiftState & 4)
        state[VK_MENU] = 0x80;
    wchar_t given[4] = {};
    // Flag 4: leave the keyboard's dead-key state alone.
    const int count = ToUnicodeEx(vk, scan, state, given, 4, 4, layout);
    return count == 1 ? given[0] : 0;
}

// The character's key on the focused window's keyboard layout, with the modifiers the layout
// needs and the sequence does not already hold; Unicode input when the layout has no plain key
// for it (dead keys would swallow the next character). With Caps Lock on, letters come with the
// other Shift state, as the layout's Caps Lock turns them round.
void addCharacter(std::vector<INPUT>& out, char32_t c, Modifiers held, HKL layout, bool capsLock) {
    const SHORT onLayout = c > 0xFFFF ? -1 : VkKeyScanExW(static_cast<wchar_t>(c), layout);
    const BYTE vk = LOBYTE(onLayout);
    BYTE shiftState = HIBYTE(onLayout);
    const bool dead =
        onLayout != -1 && (MapVirtualKeyExW(vk, MAPVK_VK_TO_CHAR, layout) & 0x80000000u) != 0;
    if (onLayout == -1 || (shiftState & ~0x07) != 0 || dead)
        return addUnicode(out, c);

    const WORD scan = static_cast<WORD>(MapVirtualKeyExW(vk, MAPVK_VK_TO_VSC, layout) & 0xFF);
    // A Shift the sequence holds itself is the line's own: its keys come as written.
    if (capsLock && !(held & mod::kShift) &&
        givenWithCapsLock(vk, scan, shiftState, layout) != static_cast<wchar_t>(c)) {
        const BYTE turned = shiftState ^ 1;
        if (givenWithCapsLock(vk, scan, turned, layout) != static_cast<wchar_t>(c))
            return addUnicode(out, c);
        shiftState = turned;
    }

    std::vector<Key> extra;
    for (const LayoutModifier& m : kLayoutModifiers) {
        if ((shiftState & m.layoutBit) && !(held & m.bit))
            extra.push_back(m.key);
    }
    for (Key m : extra) out.push_back(namedKeyInput(m, false));
    out.push_back(keyInput(vk, scan, false, false));
    out.push_back(keyInput(vk, scan, false, true));
    for (auto m = extra.rbegin(); m != extra.rend(); ++m) out.push_back(namedKeyInput(*m, true));
}

// Caps Lock as the target sees it. A background thread's own key state is not kept up to date,
// so the state is read through the target thread's input, shared for the moment of the read.
bool capsLockOn(HWND target) {
    const DWORD self = GetCurrentThreadId();
    const DWORD targetThread = target ? GetWindowThreadProcessId(target, nullptr) : 0;
    const bool attached =
        targetThread != 0 && targetThread != self && AttachThreadInput(self, targetThread, TRUE);
    const bool on = (GetKeyState(VK_CAPITAL) & 1) != 0;
    if (attached)
        AttachThreadInput(self, targetThread, FALSE);
    return on;
}

HWND focusedWindow() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(0, &info) && info.hwndFocus != nullptr)
        return info.hwndFocus;
    return GetForegroundWindow();
}

void sendInputs(std::vector<INPUT>& inputs) {
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size()) {
        const DWORD error = GetLastError();
        throw RaidError(err::kDeviceUnavailable, "SendInput",
                        "The system refused the typed keys (" + systemErrorText(error) + ")");
    }
}

// Messages the inputs put in the target's queue: a key down brings WM_KEYDOWN and, once
// translated, WM_CHAR; a key up brings WM_KEYUP.
unsigned messagesOf(const std::vector<INPUT>& inputs) {
    unsigned count = 0;
    for (const INPUT& in : inputs) count += (in.ki.dwFlags & KEYEVENTF_KEYUP) ? 1 : 2;
    return count;
}

// A millisecond's pause. Sleep(1) lasts a whole timer period on Windows (about 15.6 ms) unless
// the process raised the resolution for everything it does; a high-resolution waitable timer
// (Windows 10 1803 and later) waits just the millisecond. Elsewhere Sleep does.
void pauseOneMs() {
    static const UniqueKernelHandle timer(CreateWaitableTimerExW(
        nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS));
    LARGE_INTEGER due{};
    due.QuadPart = -10000;  // relative, in 100 ns units
    if (timer && SetWaitableTimer(timer.get(), &due, 0, nullptr, nullptr, FALSE) &&
        WaitForSingleObject(timer.get(), 100) == WAIT_OBJECT_0)
        return;
    Sleep(1);
}

// SendInput returns before the target has the keys (under Wine by far). A message sent to the
// focused window is answered from its message loop before the next queued message it takes, so
// one round trip for each message a key queued keeps the target in step: when the last one is
// answered, it has taken everything. Sent messages go first, so fewer trips would not do: a busy
// target answers at once and falls behind.
class Pacer {
  public:
    explicit Pacer(HWND target) : target_(target) {
        // No window, or our own: its keys wait for this thread's message loop, after the tick.
        mode_ =
            target_ == nullptr || GetWindowThreadProcessId(target_, nullptr) == GetCurrentThreadId()
                ? Mode::None
                : Mode::RoundTrips;
    }

    void keysSent(unsigned messages) {
        if (mode_ == Mode::Pauses)
            Sleep(kKeyGapMs);
        for (unsigned i = 0; i < messages && mode_ == Mode::RoundTrips; ++i) roundTrip();
    }

    // The last message taken is answered for, but not yet handled. Under Wine on a busy machine a
    // target answered trips sent back to back while the line's last key was still on its way to
    // it (the Enter came up to 3 ms after typing returned), so the closing trips leave it a
    // moment each.
    void finish() {
        for (int i = 0; i < kClosingTrips && mode_ == Mode::RoundTrips; ++i) {
            pauseOneMs();
            roundTrip();
        }
    }

  private:
    enum class Mode { RoundTrips, Pauses, None };

    // Longer than a loaded machine's answer; a window that does not answer at all for 5 s
    // counts as hung and is not waited for (SMTO_ABORTIFHUNG).
    static constexpr UINT kAnswerTimeoutMs = 250;
    static constexpr DWORD kKeyGapMs = 2;
    static constexpr int kClosingTrips = 3;

    void roundTrip() {
        DWORD_PTR result = 0;
        // Not SMTO_BLOCK: under Wine the keys then wait on work this thread has to answer
        // meanwhile (with it, none of 20 lines had arrived when typing returned).
        if (!SendMessageTimeoutW(target_, WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                                 kAnswerTimeoutMs, &result)) {
            // Hung, gone or too busy to wait for: plain pauses from here on.
            mode_ = Mode::Pauses;
        }
    }

    HWND target_;
    Mode mode_;
};

}  // namespace

void SendInputKeySender::send(std::span<const KeyEvent> events) {
    const HWND target = focusedWindow();
    const HKL layout = GetKeyboardLayout(GetWindowThreadProcessId(target, nullptr));
    bool capsLock = capsLockOn(target);
    Pacer pacer(target);
    std::vector<INPUT> inputs;
    for (const KeyEvent& e : events) {
        inputs.clear();
        addLetGo(inputs, e.letGo);
        if (e.kind == KeyEvent::Kind::Char) {
            addCharacter(inputs, e.ch, e.held, layout, capsLock);
        } else {
            inputs.push_back(namedKeyInput(e.key, e.kind == KeyEvent::Kind::Up));
            // A line may press Caps Lock itself.
            if (e.key == Key::CapsLock && e.kind == KeyEvent::Kind::Down)
                capsLock = !capsLock;
        }
        sendInputs(inputs);
        pacer.keysSent(messagesOf(inputs));
    }
    pacer.finish();
}

}  // namespace rk::win
