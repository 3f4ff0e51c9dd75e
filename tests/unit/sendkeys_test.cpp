#include "input/sendkeys.h"

#include <gtest/gtest.h>

#include <ostream>

namespace rk {

void PrintTo(const KeyEvent& e, std::ostream* os) {
    switch (e.kind) {
        case KeyEvent::Kind::Down:
            *os << "Down(0x" << std::hex << int(directInputCode(e.key)) << ")";
            break;
        case KeyEvent::Kind::Up:
            *os << "Up(0x" << std::hex << int(directInputCode(e.key)) << ")";
            break;
        case KeyEvent::Kind::Char:
            *os << "Char(U+" << std::hex << static_cast<std::uint32_t>(e.ch) << " held "
                << int(e.held) << ")";
            break;
    }
    if (e.letGo != 0)
        *os << " letting go " << int(e.letGo);
    switch (e.kind) {
        default:
            break;
    }
}

namespace {

using Events = std::vector<KeyEvent>;

KeyEvent D(Key k) {
    return KeyEvent::down(k);
}
KeyEvent U(Key k) {
    return KeyEvent::up(k);
}
KeyEvent C(char32_t c, Modifiers held = 0, Modifiers letGo = 0) {
    return KeyEvent::character(c, held, letGo);
}
Events tap(Key k, int times = 1) {
    Events out;
    for (int i = 0; i < times; ++i) {
        out.push_back(D(k));
        out.push_back(U(k));
    }
    return out;
}
Events chars(std::u32string_view text, Modifiers held = 0) {
    Events out;
    for (char32_t c : text) out.push_back(C(c, held));
    return out;
}
Events cat(std::initializer_list<Events> parts) {
    Events out;
    for (const Events& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

constexpr Modifiers S = mod::kShift;
constexpr Modifiers Ct = mod::kCtrl;
constexpr Modifiers A = mod::kAlt;

struct ValidCase {
    std::string text;
    Events events;
};

TEST(KeyNotation, ValidLinesGiveTheirKeys) {
    const ValidCase cases[] = {
        {"", {}},
        {"gg wp", chars(U"gg wp")},
        {"+a", {D(Key::LShift), C(U'a', S), U(Key::LShift)}},
        // A modifier holds for the next key only.
        {"+ab", {D(Key::LShift), C(U'a', S), U(Key::LShift), C(U'b')}},
        // ... or for the next group.
        {"^(ab)c", cat({{D(Key::LCtrl)}, chars(U"ab", Ct), {U(Key::LCtrl)}, chars(U"c")})},
        {"+^%x",
         {D(Key::LShift), D(Key::LCtrl), D(Key::LAlt), C(U'x', S | Ct | A), U(Key::LAlt),
          U(Key::LCtrl), U(Key::LShift)}},
        {"+(a^b)",
         {D(Key::LShift), C(U'a', S), D(Key::LCtrl), C(U'b', S | Ct), U(Key::LCtrl),
          U(Key::LShift)}},
        // A modifier already held by the group is not pressed twice, nor let go early.
        {"+(a+b)", {D(Key::LShift), C(U'a', S), C(U'b', S), U(Key::LShift)}},
        {"(ab)", chars(U"ab")},
        {"+1", {D(Key::LShift), C(U'1', S), U(Key::LShift)}},
        {"a~b", cat({chars(U"a"), tap(Key::Enter), chars(U"b")})},
        {"+~", {D(Key::LShift), D(Key::Enter), U(Key::Enter), U(Key::LShift)}},
        // Braces type the notation's own characters as themselves.
        {"{+}{^}{%}{~}{(}{)}{{}{}}{[}{]}", chars(U"+^%~(){}[]")},
        {"{a}{ }", chars(U"a ")},
        // Brackets have no key of their own.
        {"[clan]x", chars(U"clanx")},
        {"{enter}{ENTER}{Enter}", tap(Key::Enter, 3)},
        {"{tab}{esc}{escape}", cat({tap(Key::Tab), tap(Key::Escape, 2)})},
        {"{bs}{BKSP}{Backspace}", tap(Key::Backspace, 3)},
        {"{del}{delete}{ins}{insert}", cat({tap(Key::Delete, 2), tap(Key::Insert, 2)})},
        {"{home}{end}{pgup}{pgdn}",
         cat({tap(Key::Home), tap(Key::End), tap(Key::PageUp), tap(Key::PageDown)})},
        {"{left}{right}{up}{down}",
         cat({tap(Key::Left), tap(Key::Right), tap(Key::Up), tap(Key::Down)})},
        {"{f1}{F10}{f11}{F12}{f16}",
         cat({tap(Key::F1), tap(Key::F10), tap(Key::F11), tap(Key::F12), tap(Key::F16)})},
        {"{PRTSC}{break}{pause}{scrolllock}",
         cat({tap(Key::PrintScreen), tap(Key::Pause, 2), tap(Key::ScrollLock)})},
        {"{capslock}{numlock}", cat({tap(Key::CapsLock), tap(Key::NumLock)})},
        {"{add}{subtract}{multiply}{divide}", cat({tap(Key::NumAdd), tap(Key::NumSubtract),
                                                   tap(Key::NumMultiply), tap(Key::NumDivide)})},
        // Repeat counts, also for characters and under a modifier.
        {"{LEFT 3}", tap(Key::Left, 3)},
        {"{a 5}", chars(U"aaaaa")},
        {"{a 0}b", chars(U"b")},
        {"{} 2}", chars(U"}}")},
        {"{  2}", chars(U"  ")},
        {"+{left 2}", cat({{D(Key::LShift)}, tap(Key::Left, 2), {U(Key::LShift)}})},
        {"{a 255}", Events(255, C(U'a'))},
        // Line ends and tabs in pasted text are the keys they stand for.
        {"a\r\nb\nc\rd", cat({chars(U"a"), tap(Key::Enter), chars(U"b"), tap(Key::Enter),
                              chars(U"c"), tap(Key::Enter), chars(U"d")})},
        {"a\tb", cat({chars(U"a"), tap(Key::Tab), chars(U"b")})},
        {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", chars(U"\u00E9\u20AC\U0001F600")},
        {"{\xC3\xA9 2}", chars(U"\u00E9\u00E9")},
    };
    for (const ValidCase& c : cases) {
        const ParsedKeys parsed = parseKeys(c.text);
        ASSERT_FALSE(parsed.error) << c.text << ": " << parsed.error->what;
        EXPECT_EQ(parsed.events, c.events) << c.text;
    }
}

struct InvalidCase {
    std::string text;
    std::size_t position;
    std::string says;
};

TEST(KeyNotation, InvalidLinesSayWhereAndWhat) {
    const InvalidCase cases[] = {
        {"{enter", 1, "The \"{\" at position 1 has no \"}\" to close it."},
        {"hi {", 4, "The \"{\" at position 4 has no \"}\" to close it."},
        {"{}", 1, "The \"{\" at position 1 has no \"}\" to close it."},
        {"a}", 2, "The \"}\" at position 2 has no \"{\" before it."},
        {"{foo}", 1, "\"{foo}\" at position 1 is not a key name this program knows."},
        {"{f17}", 1, "\"{f17}\" at position 1 is not a key name this program knows."},
        {"{ab 2}", 1, "\"{ab 2}\" at position 1 is not a key name this program knows."},
        {"ab{LEFT x}", 3,
         "The repeat count in \"{LEFT x}\" at position 3 must be a number from 0 to 255."},
        {"{a 256}", 1,
         "The repeat count in \"{a 256}\" at position 1 must be a number from 0 to 255."},
        {"{a 99999999999}", 1, "must be a number from 0 to 255"},
        {"{a -1}", 1, "must be a number from 0 to 255"},
        {"{a }", 1, "must be a number from 0 to 255"},
        {"+(ab", 2, "The \"(\" at position 2 has no \")\" to close it."},
        {"(a(b)", 1, "The \"(\" at position 1 has no \")\" to close it."},
        {"ab)", 3, "The \")\" at position 3 has no \"(\" before it."},
        {"c++", 3, "The \"+\" at position 3 is not followed by a key to hold Shift for."},
        {"50%", 3, "The \"%\" at position 3 is not followed by a key to hold Alt for."},
        {"(a^)", 3, "The \"^\" at position 3 is not followed by a key to hold Ctrl for."},
        {"a\x01", 2, "control character at position 2"},
        {"{\x1b}", 2, "control character at position 2"},
        // Positions count characters, not bytes.
        {"\xC3\xA9\xC3\xA9{", 3, "The \"{\" at position 3"},
        {"\xFF", 1, "The character at position 1 is not valid text."},
        {"ab\xC3", 3, "The character at position 3 is not valid text."},
        {"\xC0\xAF", 1, "not valid text"},      // overlong "/"
        {"\xED\xA0\x80", 1, "not valid text"},  // a surrogate
        {"{a 255}{a 255}{a 255}{a 255}", 22, "more than 1000 keys"},
    };
    for (const InvalidCase& c : cases) {
        const ParsedKeys parsed = parseKeys(c.text);
        ASSERT_TRUE(parsed.error) << c.text;
        EXPECT_EQ(parsed.error->position, c.position) << c.text;
        EXPECT_NE(parsed.error->what.find(c.says), std::string::npos)
            << c.text << " says: " << parsed.error->what;
        EXPECT_TRUE(parsed.events.empty()) << c.text;
    }
}

TEST(KeybindPlan, PlayersModifiersAreLetGoForTheLineAndPressedAgainAfterEnter) {
    // The six modifier bytes of the DirectInput keyboard state.
    KeyState player{};
    for (std::uint8_t dik : {0x2A, 0x36, 0x1D, 0x9D, 0x38, 0xB8}) player[dik] = 0x80;
    player[0x43] = 0x80;  // F9 itself is no modifier
    const Modifiers all = S | Ct | A;

    const KeybindBatches plan = planKeybind(parseKeys("h+i{up}").events, player);

    const Events mods = {D(Key::LShift), D(Key::RShift), D(Key::LCtrl),
                         D(Key::RCtrl),  D(Key::LAlt),   D(Key::RAlt)};
    Events release;
    for (const KeyEvent& e : mods) release.push_back(U(e.key));
    // Every key lets go again what the line itself does not hold: held keys repeat.
    EXPECT_EQ(plan.line, cat({release,
                              {C(U'h', 0, all), D(Key::LShift), C(U'i', S, Ct | A), U(Key::LShift),
                               KeyEvent::down(Key::Up, all), U(Key::Up)}}));
    EXPECT_EQ(plan.enter, cat({{KeyEvent::down(Key::Enter, all), U(Key::Enter)}, mods}));
}

TEST(KeybindPlan, OnlyTheHeldSideIsPressedAgain) {
    KeyState player{};
    player[0x36] = 0x80;  // right Shift
    const KeybindBatches plan = planKeybind(parseKeys("a").events, player);
    EXPECT_EQ(plan.line, (Events{U(Key::RShift), C(U'a', 0, S)}));
    EXPECT_EQ(plan.enter, (Events{KeyEvent::down(Key::Enter, S), U(Key::Enter), D(Key::RShift)}));
}

TEST(KeybindPlan, NothingHeldSendsTheLineAndEnterAlone) {
    const Events line = chars(U"gl hf");
    const KeybindBatches plan = planKeybind(line, KeyState{});
    EXPECT_EQ(plan.line, line);
    EXPECT_EQ(plan.enter, tap(Key::Enter));
}

}  // namespace
}  // namespace rk
