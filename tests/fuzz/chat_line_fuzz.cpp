// Chat lines as a player may type them into the F9-F12 boxes, typed one after another through
// the counters and the key notation into the fake chat box, while the player holds any of the
// Shift, Ctrl and Alt keys. The counters and the plain lines are checked against a model here.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fake_key_sender.h"
#include "fuzz_check.h"
#include "input/keybind_typing.h"
#include "input/sendkeys.h"
#include "text/utf8.h"

namespace {

using rk::Key;

constexpr std::array kPlayerModifiers{Key::LShift, Key::RShift, Key::LCtrl,
                                      Key::RCtrl,  Key::LAlt,   Key::RAlt};

// What the player's line becomes: each "$a" to "$d" the line holds steps its counter once, and
// every occurrence shows the new value. One pass: the numbers are digits and start no variable.
std::string filledIn(std::string_view text, std::array<std::uint64_t, 4>& counters) {
    std::array<bool, 4> used{};
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '$' && text[i + 1] >= 'a' && text[i + 1] <= 'd')
            used[text[i + 1] - 'a'] = true;
    }
    for (int v = 0; v < 4; ++v) counters[v] += used[v] ? 1 : 0;
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '$' && i + 1 < text.size() && text[i + 1] >= 'a' && text[i + 1] <= 'd') {
            out += std::to_string(counters[text[i + 1] - 'a']);
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

constexpr std::string_view kSigns = "+^%~(){}[]";

// Characters the notation types as themselves: no control character, and, unless each sign is
// put in braces, none of its signs.
bool typesAsWritten(const std::u32string& line, bool signsInBraces) {
    for (char32_t c : line) {
        if (c < 0x20 || c == 0x7F ||
            (!signsInBraces && c < 0x80 && kSigns.find(char(c)) != kSigns.npos))
            return false;
    }
    return true;
}

// Every sign of the notation in braces, as the player is told to write it to type it as itself.
std::string inBraces(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (kSigns.find(c) != kSigns.npos)
            out += std::string("{") + c + "}";
        else
            out += c;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    rk::KeybindCounters counters;
    counters.CountA = in.ConsumeIntegral<std::uint32_t>();
    counters.CountB = in.ConsumeIntegralInRange<std::uint32_t>(0, 12);
    std::array<std::uint64_t, 4> model = {counters.CountA, counters.CountB, 0, 0};

    // The player's hands: some modifiers held, repeating or not.
    const std::uint8_t hands = in.ConsumeIntegral<std::uint8_t>();
    rk::KeyState player{};
    rk::FakeKeySender chat;
    std::set<Key> held;
    for (std::size_t k = 0; k < kPlayerModifiers.size(); ++k) {
        if (hands & (1u << k)) {
            held.insert(kPlayerModifiers[k]);
            player[rk::directInputCode(kPlayerModifiers[k])] = 0x80;
        }
    }
    chat.down = held;
    if (hands & 0x80)
        chat.repeating = held;

    const int presses = in.ConsumeIntegralInRange(1, 3);
    for (int press = 0; press < presses && in.remaining_bytes() > 0; ++press) {
        const int keybind = in.ConsumeIntegralInRange(1, 4);
        const bool signsInBraces = in.ConsumeBool();
        const std::string written = in.ConsumeRandomLengthString(1500);
        const std::string text = signsInBraces ? inBraces(written) : written;

        chat.sentLines.clear();
        chat.otherKeys.clear();
        const std::array<std::uint64_t, 4> before = model;
        std::array<std::uint64_t, 4> after = model;
        filledIn(text, after);
        // Braces around the signs neither make nor break a variable: the same numbers.
        std::array<std::uint64_t, 4> same = model;
        const std::string expected = filledIn(written, same);

        const rk::KeybindOutcome outcome = rk::typeKeybind(keybind, text, counters, player, chat);
        const std::array<std::uint64_t, 4> now = {counters.CountA, counters.CountB, counters.CountC,
                                                  counters.CountD};
        const std::string what = "F" + std::to_string(keybind + 8) + " " + rk::fuzz::shown(text);

        if (!outcome.message.empty()) {
            FUZZ_CHECK(chat.sentLines.empty() && chat.otherKeys.empty() && chat.box().empty(),
                       "a refused line typed something: " << what);
            FUZZ_CHECK(chat.down == held, "a refused line changed the keys down: " << what);
            FUZZ_CHECK(now == before, "a refused line stepped a counter: " << what);
            FUZZ_CHECK(outcome.message.find("F" + std::to_string(keybind + 8)) != std::string::npos,
                       "the message does not name the key: " << outcome.message);
        } else {
            FUZZ_CHECK(now == after, "counters do not match the line's variables: " << what);
            FUZZ_CHECK(!chat.sentLines.empty() && chat.box().empty(),
                       "the line did not end with Enter: " << what);
            FUZZ_CHECK(chat.down == held, "the player's keys are not as they were: " << what);
            model = after;
        }

        std::u32string characters;
        if (!rk::decodeUtf8(text, characters)) {
            FUZZ_CHECK(!outcome.message.empty(), "malformed UTF-8 was typed: " << what);
            continue;
        }
        std::u32string line;
        rk::decodeUtf8(expected, line);
        if (typesAsWritten(line, signsInBraces)) {
            if (line.size() <= rk::kMaxLineKeys) {
                FUZZ_CHECK(outcome.message.empty(),
                           "a plain line was refused: " << what << ": " << outcome.message);
                FUZZ_CHECK(
                    chat.sentLines == std::vector<std::string>{expected},
                    "a plain line arrived otherwise: "
                        << what << " -> "
                        << (chat.sentLines.empty() ? "nothing" : rk::fuzz::shown(chat.sentLines[0]))
                        << " (" << chat.sentLines.size() << " lines)");
                FUZZ_CHECK(chat.otherKeys.empty(), "a plain line pressed other keys: " << what);
            } else {
                FUZZ_CHECK(!outcome.message.empty(),
                           "a line beyond the key limit was typed: " << line.size() << " keys");
            }
        }
    }
    return 0;
}
