#include "input/sendkeys.h"

#include <array>
#include <string>
#include <utility>

#include "text/utf8.h"

namespace rk {

namespace {

struct NamedKey {
    std::string_view name;
    Key key;
};

// Lower case; names compare without regard to case.
constexpr std::array kKeyNames{
    NamedKey{"enter", Key::Enter},
    NamedKey{"tab", Key::Tab},
    NamedKey{"esc", Key::Escape},
    NamedKey{"escape", Key::Escape},
    NamedKey{"backspace", Key::Backspace},
    NamedKey{"bs", Key::Backspace},
    NamedKey{"bksp", Key::Backspace},
    NamedKey{"del", Key::Delete},
    NamedKey{"delete", Key::Delete},
    NamedKey{"ins", Key::Insert},
    NamedKey{"insert", Key::Insert},
    NamedKey{"home", Key::Home},
    NamedKey{"end", Key::End},
    NamedKey{"pgup", Key::PageUp},
    NamedKey{"pgdn", Key::PageDown},
    NamedKey{"left", Key::Left},
    NamedKey{"right", Key::Right},
    NamedKey{"up", Key::Up},
    NamedKey{"down", Key::Down},
    NamedKey{"capslock", Key::CapsLock},
    NamedKey{"numlock", Key::NumLock},
    NamedKey{"scrolllock", Key::ScrollLock},
    NamedKey{"prtsc", Key::PrintScreen},
    NamedKey{"break", Key::Pause},
    NamedKey{"pause", Key::Pause},
    NamedKey{"add", Key::NumAdd},
    NamedKey{"subtract", Key::NumSubtract},
    NamedKey{"multiply", Key::NumMultiply},
    NamedKey{"divide", Key::NumDivide},
    NamedKey{"f1", Key::F1},
    NamedKey{"f2", Key::F2},
    NamedKey{"f3", Key::F3},
    NamedKey{"f4", Key::F4},
    NamedKey{"f5", Key::F5},
    NamedKey{"f6", Key::F6},
    NamedKey{"f7", Key::F7},
    NamedKey{"f8", Key::F8},
    NamedKey{"f9", Key::F9},
    NamedKey{"f10", Key::F10},
    NamedKey{"f11", Key::F11},
    NamedKey{"f12", Key::F12},
    NamedKey{"f13", Key::F13},
    NamedKey{"f14", Key::F14},
    NamedKey{"f15", Key::F15},
    NamedKey{"f16", Key::F16},
};

std::optional<Key> keyNamed(std::u32string_view name) {
    std::string lower;
    for (char32_t c : name) {
        if (c >= 0x80)
            return std::nullopt;
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    for (const NamedKey& k : kKeyNames) {
        if (k.name == lower)
            return k.key;
    }
    return std::nullopt;
}

std::string quoted(std::u32string_view text) {
    std::string out = "\"";
    out += toUtf8(text);
    out += '"';
    return out;
}

std::string at(std::size_t position) {
    return " at position " + std::to_string(position);
}

struct Failure {
    NotationError error;
};

[[noreturn]] void fail(std::size_t position, std::string what) {
    throw Failure{{position, std::move(what)}};
}

[[noreturn]] void invalidText(std::size_t position) {
    fail(position, "The character" + at(position) + " is not valid text.");
}

std::u32string decode(std::string_view text) {
    std::u32string out;
    if (!decodeUtf8(text, out))
        invalidText(out.size() + 1);
    return out;
}

struct ModifierChar {
    char32_t ch;
    Modifiers bit;
    Key key;
    std::string_view name;
};
constexpr std::array kModifierChars{
    ModifierChar{U'+', mod::kShift, Key::LShift, "Shift"},
    ModifierChar{U'^', mod::kCtrl, Key::LCtrl, "Ctrl"},
    ModifierChar{U'%', mod::kAlt, Key::LAlt, "Alt"},
};

class Parser {
  public:
    explicit Parser(std::u32string text) : t_(std::move(text)) {}

    std::vector<KeyEvent> run() {
        while (i_ < t_.size()) step();
        if (waiting_)
            danglingModifier();
        if (!groups_.empty()) {
            fail(groups_.back().position,
                 "The \"(\"" + at(groups_.back().position) + " has no \")\" to close it.");
        }
        return std::move(out_);
    }

  private:
    struct Group {
        std::size_t position;
        std::vector<Key> pressed;  // the modifiers this group holds
    };
    struct Waiting {
        std::size_t position;
        const ModifierChar* modifier;
    };

    std::size_t position() const { return i_ + 1; }

    void step() {
        start_ = position();
        const char32_t c = t_[i_];
        for (const ModifierChar& m : kModifierChars) {
            if (c == m.ch)
                return modifier(m);
        }
        switch (c) {
            case U'~':
                ++i_;
                return tap(Key::Enter, 1);
            case U'(':
                groups_.push_back({position(), std::exchange(pending_, {})});
                waiting_.reset();
                ++i_;
                return;
            case U')':
                return closeGroup();
            case U'{':
                return braces();
            case U'}':
                fail(position(), "The \"}\"" + at(position()) + " has no \"{\" before it.");
            case U'[':
            case U']':
                // No key of its own: whatever modifier waited for it has nothing to hold.
                ++i_;
                return released();
            case U'\r':
                i_ += i_ + 1 < t_.size() && t_[i_ + 1] == U'\n' ? 2 : 1;
                return tap(Key::Enter, 1);
            case U'\n':
                ++i_;
                return tap(Key::Enter, 1);
            case U'\t':
                ++i_;
                return tap(Key::Tab, 1);
        }
        if (c < 0x20 || c == 0x7F)
            fail(position(), "The line holds a control character" + at(position()) +
                                 ", which cannot be typed.");
        ++i_;
        type(c, 1);
    }

    void modifier(const ModifierChar& m) {
        if (!(held_ & m.bit)) {
            out_.push_back(KeyEvent::down(m.key));
            held_ |= m.bit;
            pending_.push_back(m.key);
        }
        waiting_ = Waiting{position(), &m};
        ++i_;
    }

    void closeGroup() {
        if (waiting_)
            danglingModifier();
        if (groups_.empty())
            fail(position(), "The \")\"" + at(position()) + " has no \"(\" before it.");
        release(groups_.back().pressed);
        groups_.pop_back();
        ++i_;
    }

    void braces() {
        const std::size_t open = i_;
        // The first character is the content whatever it is, so "{}}" types "}".
        const std::size_t close = t_.find(U'}', open + 2);
        if (close == std::u32string::npos) {
            fail(open + 1, "The \"{\"" + at(open + 1) + " has no \"}\" to close it.");
        }
        const std::u32string_view whole(t_.data() + open, close - open + 1);
        std::u32string_view name(t_.data() + open + 1, close - open - 1);
        unsigned count = 1;
        if (const std::size_t space = name.find(U' ', 1); space != std::u32string_view::npos) {
            count = repeatCount(name.substr(space + 1), whole, open + 1);
            name = name.substr(0, space);
        }
        i_ = close + 1;
        if (name.size() == 1) {
            if (name[0] < 0x20 || name[0] == 0x7F)
                fail(open + 2, "The line holds a control character" + at(open + 2) +
                                   ", which cannot be typed.");
            return type(name[0], count);
        }
        const std::optional<Key> key = keyNamed(name);
        if (!key) {
            fail(open + 1, quoted(whole) + at(open + 1) + " is not a key name this program knows.");
        }
        tap(*key, count);
    }

    static unsigned repeatCount(std::u32string_view digits, std::u32string_view whole,
                                std::size_t position) {
        unsigned value = 0;
        bool valid = !digits.empty() && digits.size() <= 3;
        for (char32_t d : digits) {
            valid = valid && d >= U'0' && d <= U'9';
            value = value * 10 + (d - U'0');
        }
        if (!valid || value > kMaxRepeat) {
            fail(position, "The repeat count in " + quoted(whole) + at(position) +
                               " must be a number from 0 to " + std::to_string(kMaxRepeat) + ".");
        }
        return value;
    }

    void tap(Key key, unsigned count) {
        countKeys(count);
        for (unsigned n = 0; n < count; ++n) {
            out_.push_back(KeyEvent::down(key));
            out_.push_back(KeyEvent::up(key));
        }
        released();
    }

    void type(char32_t c, unsigned count) {
        countKeys(count);
        for (unsigned n = 0; n < count; ++n) out_.push_back(KeyEvent::character(c, held_));
        released();
    }

    void countKeys(unsigned count) {
        keys_ += count;
        if (keys_ > kMaxLineKeys) {
            fail(start_, "The line would type more than " + std::to_string(kMaxLineKeys) +
                             " keys (reached" + at(start_) + ").");
        }
    }

    // The key or group that modifiers waited for is done.
    void released() {
        release(pending_);
        pending_.clear();
        waiting_.reset();
    }

    void release(const std::vector<Key>& keys) {
        for (auto k = keys.rbegin(); k != keys.rend(); ++k) {
            out_.push_back(KeyEvent::up(*k));
            held_ &= static_cast<Modifiers>(~modifierBitOf(*k));
        }
    }

    [[noreturn]] void danglingModifier() {
        const std::string sign = toUtf8(std::u32string(1, waiting_->modifier->ch));
        fail(waiting_->position, "The \"" + sign + "\"" + at(waiting_->position) +
                                     " is not followed by a key to hold " +
                                     std::string(waiting_->modifier->name) + " for.");
    }

    std::u32string t_;
    std::size_t i_ = 0;
    std::vector<KeyEvent> out_;
    Modifiers held_ = 0;        // by enclosing groups and by pending modifiers
    std::vector<Key> pending_;  // pressed for the next key or group
    std::optional<Waiting> waiting_;
    std::vector<Group> groups_;
    std::size_t keys_ = 0;
    std::size_t start_ = 0;  // where the current key's notation begins
};

// The player's own modifiers, as the poll's keyboard state names them.
constexpr std::array kPlayerModifiers{Key::LShift, Key::RShift, Key::LCtrl,
                                      Key::RCtrl,  Key::LAlt,   Key::RAlt};

}  // namespace

ParsedKeys parseKeys(std::string_view text) {
    try {
        return {Parser(decode(text)).run(), std::nullopt};
    } catch (const Failure& failure) {
        return {{}, failure.error};
    }
}

KeybindBatches planKeybind(const std::vector<KeyEvent>& line, const KeyState& player) {
    KeybindBatches batches;
    std::vector<Key> held;
    Modifiers playerBits = 0;
    for (Key k : kPlayerModifiers) {
        if (player[directInputCode(k)] != 0) {
            held.push_back(k);
            playerBits |= modifierBitOf(k);
        }
    }
    // Let go first of all, too: the line's own "+" on a held Alt would be Alt+Shift, which
    // switches the keyboard layout.
    for (Key k : held) batches.line.push_back(KeyEvent::up(k));
    Modifiers lineHolds = 0;
    for (KeyEvent e : line) {
        const Modifiers bit = e.kind == KeyEvent::Kind::Char ? 0 : modifierBitOf(e.key);
        if (e.kind == KeyEvent::Kind::Down && bit != 0) {
            lineHolds |= bit;
        } else if (e.kind == KeyEvent::Kind::Up) {
            lineHolds &= static_cast<Modifiers>(~bit);
        } else {
            e.letGo = playerBits & static_cast<Modifiers>(~lineHolds);
        }
        batches.line.push_back(e);
    }
    batches.enter = {KeyEvent::down(Key::Enter, playerBits), KeyEvent::up(Key::Enter)};
    for (Key k : held) batches.enter.push_back(KeyEvent::down(k));
    return batches;
}

}  // namespace rk
