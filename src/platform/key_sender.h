// Typing into the window that has the keyboard focus.
#pragma once

#include <cstdint>
#include <span>

namespace rk {

// A key by its DirectInput code: the identity the keyboard poll already reads keys by (the scan
// code, plus 0x80 for the extended keys), so typed keys and watched keys compare directly.
enum class Key : std::uint8_t {
    Escape = 0x01,
    Backspace = 0x0E,
    Tab = 0x0F,
    Enter = 0x1C,
    LCtrl = 0x1D,
    LShift = 0x2A,
    RShift = 0x36,
    NumMultiply = 0x37,
    LAlt = 0x38,
    CapsLock = 0x3A,
    F1 = 0x3B,
    F2 = 0x3C,
    F3 = 0x3D,
    F4 = 0x3E,
    F5 = 0x3F,
    F6 = 0x40,
    F7 = 0x41,
    F8 = 0x42,
    F9 = 0x43,
    F10 = 0x44,
    NumLock = 0x45,
    ScrollLock = 0x46,
    NumSubtract = 0x4A,
    NumAdd = 0x4E,
    F11 = 0x57,
    F12 = 0x58,
    F13 = 0x64,
    F14 = 0x65,
    F15 = 0x66,
    F16 = 0x67,
    RCtrl = 0x9D,
    NumDivide = 0xB5,
    PrintScreen = 0xB7,
    RAlt = 0xB8,
    Pause = 0xC5,
    Home = 0xC7,
    Up = 0xC8,
    PageUp = 0xC9,
    Left = 0xCB,
    Right = 0xCD,
    End = 0xCF,
    Down = 0xD0,
    PageDown = 0xD1,
    Insert = 0xD2,
    Delete = 0xD3,
};

constexpr std::uint8_t directInputCode(Key key) {
    return static_cast<std::uint8_t>(key);
}

// Modifier bits.
using Modifiers = std::uint8_t;
namespace mod {
constexpr Modifiers kShift = 1;
constexpr Modifiers kCtrl = 2;
constexpr Modifiers kAlt = 4;
}  // namespace mod

// The modifier a key is, left or right alike; 0 for any other key.
constexpr Modifiers modifierBitOf(Key key) {
    switch (key) {
        case Key::LShift:
        case Key::RShift:
            return mod::kShift;
        case Key::LCtrl:
        case Key::RCtrl:
            return mod::kCtrl;
        case Key::LAlt:
        case Key::RAlt:
            return mod::kAlt;
        default:
            return 0;
    }
}

struct KeyEvent {
    enum class Kind : std::uint8_t { Down, Up, Char };

    Kind kind = Kind::Down;
    Key key{};         // Down, Up
    char32_t ch = 0;   // Char: typed with the key the keyboard layout has for it
    Modifiers held{};  // Char: modifiers the sequence itself holds down meanwhile
    // Down, Char: Shift, Ctrl or Alt keys (left and right) let go together with this key, in
    // one input nothing can come between. A key the player holds repeats, and so comes down
    // again after any earlier release.
    Modifiers letGo{};

    static constexpr KeyEvent down(Key k, Modifiers letGo = 0) {
        return {Kind::Down, k, 0, 0, letGo};
    }
    static constexpr KeyEvent up(Key k) { return {Kind::Up, k, 0, 0, 0}; }
    static constexpr KeyEvent character(char32_t c, Modifiers held = 0, Modifiers letGo = 0) {
        return {Kind::Char, Key{}, c, held, letGo};
    }
    friend bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

class KeySender {
  public:
    virtual ~KeySender() = default;
    // Types the events in order into the window that has the keyboard focus and returns once that
    // window has processed them. A Char is sent as its key on the keyboard layout (adding the
    // Shift, Ctrl or Alt the layout needs and `held` lacks), or as a Unicode character when the
    // layout has no key for it. Raises RaidError when the system refuses the input.
    virtual void send(std::span<const KeyEvent> events) = 0;
};

}  // namespace rk
