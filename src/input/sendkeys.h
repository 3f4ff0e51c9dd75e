// The keystroke notation of the chat lines, read into key events, and the planning of a line's
// typing around the keys the player is holding.
//
//   +  ^  %   Shift, Ctrl, Alt held for the next key or group
//   ~         Enter
//   ( )       a group for a preceding + ^ %
//   {name}    a named key ({enter}, {left}, {f9} ...; any case), {name n} pressed n times
//   {c}       the character c typed as itself, also + ^ % ~ ( ) { } [ ]; {c n} n times
//   [ ]       no key of their own outside braces
//   other     typed as itself
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/key_sender.h"
#include "platform/keyboard.h"

namespace rk {

// "{a 255}" at most: a mistyped count must not hang the program typing for minutes.
constexpr unsigned kMaxRepeat = 255;
// Keys (characters included) one line may type.
constexpr std::size_t kMaxLineKeys = 1000;

struct NotationError {
    std::size_t position = 0;  // 1-based, in characters
    std::string what;          // a sentence for the player, naming the position
};

struct ParsedKeys {
    std::vector<KeyEvent> events;
    std::optional<NotationError> error;  // set: events are empty and nothing may be typed
};

// Text in UTF-8. Every modifier the events press they also release.
ParsedKeys parseKeys(std::string_view text);

// What TypeKeybind sends, each batch waited for: the line, then Enter. Shift, Ctrl and Alt that
// the player holds (per the poll's keyboard state) cannot change the text: they are let go before
// the line and again with every key (they repeat while held), and pressed again after Enter, so
// the player's keys are as they were.
struct KeybindBatches {
    std::vector<KeyEvent> line;
    std::vector<KeyEvent> enter;
};
KeybindBatches planKeybind(const std::vector<KeyEvent>& line, const KeyState& player);

}  // namespace rk
