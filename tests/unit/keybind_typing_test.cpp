#include "input/keybind_typing.h"

#include <gtest/gtest.h>

#include "fake_key_sender.h"
#include "input/key_watch.h"
#include "platform/error.h"

namespace rk {
namespace {

using Lines = std::vector<std::string>;

class KeybindTyping : public ::testing::Test {
  protected:
    KeybindOutcome type(int keybind, const std::string& text) {
        return typeKeybind(keybind, text, counters, player, chat);
    }
    // The player holds a key: the poll's state and the system's both show it.
    void hold(Key key) {
        player[directInputCode(key)] = 0x80;
        chat.down.insert(key);
    }

    KeybindCounters counters;
    KeyState player{};
    FakeKeySender chat;
};

TEST_F(KeybindTyping, TypesTheLineThenEnterWithTheCountersFilledIn) {
    EXPECT_EQ(type(1, "That was headshot number $a").message, "");
    EXPECT_EQ(type(1, "That was headshot number $a").message, "");
    EXPECT_EQ(chat.sentLines, (Lines{"That was headshot number 1", "That was headshot number 2"}));
    EXPECT_EQ(chat.box(), "");
}

TEST_F(KeybindTyping, KeybindsShareCountersAcrossLines) {
    const std::string f9 = "$a";
    const std::string f10 = "$a $b";
    type(1, f9);
    type(2, f10);
    type(1, f9);
    EXPECT_EQ(chat.sentLines, (Lines{"1", "2 1", "3"}));
}

TEST_F(KeybindTyping, LinesArriveAsTheNotationSays) {
    struct Case {
        std::string text;
        std::string arrives;
    };
    const Case cases[] = {
        {"+gg {~} {{}", "Gg ~ {"},
        {"50{%} {+}1 {(}ok{)} {[}TAG{]} [x]", "50% +1 (ok) [TAG] x"},
        {"+(shout) +1", "SHOUT !"},
        {"Headshot!? \"yes\" #1 {}}", "Headshot!? \"yes\" #1 }"},
        {"typo{BS}{bs}o {LEFT 2}X{END}!", "tyXo !"},
        {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xC3\xA9 \xE2\x82\xAC"},
    };
    for (const Case& c : cases) {
        chat.sentLines.clear();
        EXPECT_EQ(type(1, c.text).message, "") << c.text;
        EXPECT_EQ(chat.sentLines, Lines{c.arrives}) << c.text;
    }
}

TEST_F(KeybindTyping, TildeSendsTheLineEarly) {
    type(1, "one~two");
    EXPECT_EQ(chat.sentLines, (Lines{"one", "two"}));
}

TEST_F(KeybindTyping, EmptyLineSendsOnlyEnterAndCountsNothing) {
    type(3, "");
    type(1, "$a");
    EXPECT_EQ(chat.sentLines, (Lines{"", "1"}));
    EXPECT_TRUE(chat.otherKeys.empty());
}

TEST_F(KeybindTyping, InvalidLineTypesNothingCountsNothingAndSaysWhy) {
    chat.sentLines.clear();
    const KeybindOutcome outcome = type(2, "number $a {enter");
    EXPECT_NE(outcome.message.find("F10"), std::string::npos) << outcome.message;
    EXPECT_NE(outcome.message.find("The \"{\" at position 11 has no \"}\" to close it."),
              std::string::npos)
        << outcome.message;
    EXPECT_TRUE(chat.sentLines.empty());
    EXPECT_EQ(chat.box(), "");

    // The number the invalid line would have shown is still the next one.
    type(2, "number $a");
    EXPECT_EQ(chat.sentLines, Lines{"number 1"});
}

// Held, a key either repeats (Windows) or stays down once (X11 under Wine, for modifiers).
TEST_F(KeybindTyping, ErrorPositionsCountInTheTextAsThePlayerWroteIt) {
    counters.CountA = 99;
    const KeybindOutcome outcome = type(1, "$a$a$a {");
    EXPECT_NE(outcome.message.find("The \"{\" at position 8 has"), std::string::npos)
        << outcome.message;
    EXPECT_EQ(counters.CountA, 99u);
}

TEST_F(KeybindTyping, VariablesMayGiveTheNumbersTheNotationNeeds) {
    counters.CountA = 2;
    EXPECT_EQ(type(1, "{x $a}{$a}").message, "");
    EXPECT_EQ(chat.sentLines, Lines{"xxx3"});
}

TEST_F(KeybindTyping, HeldModifiersDoNotChangeTheTextAndStayHeld) {
    for (bool repeats : {false, true}) {
        for (Key held : {Key::LShift, Key::RShift, Key::LCtrl, Key::RCtrl, Key::LAlt, Key::RAlt}) {
            player = {};
            chat = FakeKeySender{};
            hold(held);
            if (repeats)
                chat.repeating = {held};
            type(1, "Nice shot, #$a! {LEFT}{DEL}?");
            const std::string why = "holding DIK " + std::to_string(directInputCode(held)) +
                                    (repeats ? ", repeating" : "");
            EXPECT_EQ(chat.sentLines,
                      Lines{"Nice shot, #" + std::to_string(counters.CountA) + "!?"})
                << why;
            EXPECT_TRUE(chat.otherKeys.empty()) << why;
            EXPECT_EQ(chat.down, std::set<Key>{held}) << why;
        }
    }
}

TEST_F(KeybindTyping, LinesOwnModifiersStillWorkWhileThePlayerHoldsShift) {
    hold(Key::LShift);
    chat.repeating = {Key::LShift};
    type(1, "+a b ^c");
    EXPECT_EQ(chat.sentLines, Lines{"A b "});
    EXPECT_EQ(chat.otherKeys, Lines{"Ctrl+c"});
    EXPECT_EQ(chat.down, std::set<Key>{Key::LShift});
}

TEST_F(KeybindTyping, ReportsThePollsOwnKeysTheLineTyped) {
    const KeybindOutcome outcome =
        type(1, "{F9}{f1}{PRTSC}{F9}{BREAK}{scrolllock}{F12}{pause}{f10}{F11}");
    EXPECT_EQ(outcome.watchedKeysTyped,
              (std::vector<std::uint8_t>{0x43, 0xB7, 0xC5, 0x46, 0x58, 0x44, 0x57}));
    EXPECT_TRUE(type(1, "plain text ~").watchedKeysTyped.empty());
}

// The poll and the typing together: a key the program typed may still show down in the next
// snapshot. Lines that type each other's keys would then set each other off without end.
TEST_F(KeybindTyping, LinesTypingThePollsKeysDoNotSetThemOff) {
    const std::string lines[] = {"go {F10}", "back {F9} {PRTSC}"};
    KeyWatch watch;
    KeyState stillDown{};
    int typed = 0;
    int screenshots = 0;
    auto tick = [&](KeyState state) {
        for (int code = 0; code < 256; ++code) state[code] |= stillDown[code];
        stillDown = {};
        for (KeyAction action : watch.pressed(state)) {
            if (action == KeyAction::Screenshot) {
                ++screenshots;
                continue;
            }
            const int keybind = static_cast<int>(action) - static_cast<int>(KeyAction::Keybind1);
            ASSERT_TRUE(keybind == 0 || keybind == 1);
            player = state;
            const KeybindOutcome outcome = type(keybind + 1, lines[keybind]);
            ++typed;
            for (std::uint8_t code : outcome.watchedKeysTyped) {
                watch.ignoreUntilReleased(code);
                stillDown[code] = 0x80;
            }
        }
    };
    KeyState f9{};
    f9[0x43] = 0x80;
    KeyState f10{};
    f10[0x44] = 0x80;

    tick(f9);
    for (int i = 0; i < 10; ++i) tick({});
    EXPECT_EQ(typed, 1);
    tick(f10);
    for (int i = 0; i < 10; ++i) tick({});
    EXPECT_EQ(typed, 2);
    EXPECT_EQ(screenshots, 0);
    EXPECT_EQ(chat.sentLines, (Lines{"go ", "back  "}));
    EXPECT_EQ(chat.otherKeys, (Lines{"F10", "F9", "PrintScreen"}));
}

TEST_F(KeybindTyping, RefusedInputIsRaised) {
    chat.refuse = true;
    EXPECT_THROW(type(1, "hello"), RaidError);
    EXPECT_TRUE(chat.sentLines.empty());
}

}  // namespace
}  // namespace rk
