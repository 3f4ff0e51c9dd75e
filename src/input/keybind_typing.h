// TypeKeybind's work: a keybind's text, with its counters filled in, typed into the focused window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "input/keybinds.h"
#include "platform/key_sender.h"
#include "platform/keyboard.h"

namespace rk {

struct KeybindOutcome {
    // Empty when the line was typed; otherwise why not, for a box titled "Raidkit".
    std::string message;
    // DirectInput codes of the poll's own keys (F9-F12, Print Screen, Pause, Scroll Lock) that
    // the line pressed: the poll must not take them for the player's
    // (KeyWatch::ignoreUntilReleased).
    std::vector<std::uint8_t> watchedKeysTyped;
};

// keybind 1-4 (F9-F12); text is the box's current text; player is the keyboard state the poll
// read. The line, then Enter, each waited for. A line that is not valid notation types nothing
// and steps no counter: a number the chat never showed would be lost. Raises RaidError when the
// system refuses the keys.
KeybindOutcome typeKeybind(int keybind, const std::string& text, KeybindCounters& counters,
                           const KeyState& player, KeySender& sender);

}  // namespace rk
