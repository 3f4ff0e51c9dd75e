#include "input/keybind_typing.h"

#include <algorithm>

#include "input/key_watch.h"
#include "input/sendkeys.h"

namespace rk {

namespace {

constexpr std::string_view kBraceHint =
    "To type one of + ^ % ~ ( ) { } [ ] as itself, put it in braces: {+} {^} {%} {~} {(} {)} "
    "{{} {}} {[} {]}.";

std::vector<std::uint8_t> watchedKeysIn(const std::vector<KeyEvent>& events) {
    std::vector<std::uint8_t> codes;
    for (const KeyEvent& e : events) {
        if (e.kind != KeyEvent::Kind::Down)
            continue;
        const std::uint8_t code = directInputCode(e.key);
        const bool watched = std::any_of(kWatchedKeys.begin(), kWatchedKeys.end(),
                                         [code](const WatchedKey& w) { return w.code == code; });
        if (watched && std::find(codes.begin(), codes.end(), code) == codes.end())
            codes.push_back(code);
    }
    return codes;
}

}  // namespace

KeybindOutcome typeKeybind(int keybind, const std::string& text, KeybindCounters& counters,
                           const KeyState& player, KeySender& sender) {
    // The counters step on a copy first: only a line that is typed may use up a number.
    KeybindCounters stepped = counters;
    std::string line = text;
    stepped.Parse_Vars(line);

    ParsedKeys parsed = parseKeys(line);
    if (parsed.error) {
        // Told in the player's own text, where the positions are those the player sees. To the
        // notation a variable is plain characters, so the text fails as well, unless the numbers
        // were what it lacked ("{a $a}"); then the only account is the typed line's.
        const ParsedKeys asWritten = parseKeys(text);
        const NotationError& error = asWritten.error ? *asWritten.error : *parsed.error;
        return {"The chat line of F" + std::to_string(keybind + 8) + " was not typed. " +
                    error.what + "\n\n" + std::string(kBraceHint),
                {}};
    }
    counters = stepped;

    const KeybindBatches batches = planKeybind(parsed.events, player);
    if (!batches.line.empty())
        sender.send(batches.line);
    sender.send(batches.enter);
    return {"", watchedKeysIn(parsed.events)};
}

}  // namespace rk
