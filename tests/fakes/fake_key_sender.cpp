#include "fake_key_sender.h"

#include <optional>
#include <string_view>

#include "platform/error.h"
#include "text/utf8.h"

namespace rk {

namespace {

// The US layout's keys beyond the letters: unshifted and shifted character of each.
constexpr std::u32string_view kPlain = U"`1234567890-=[]\\;',./ ";
constexpr std::u32string_view kShifted = U"~!@#$%^&*()_+{}|:\"<>? ";

struct LayoutKey {
    char32_t plain;  // the key, named by its unshifted character
    bool shift;      // the layout needs Shift for the character
};

std::optional<LayoutKey> layoutKey(char32_t c) {
    if (c >= U'a' && c <= U'z')
        return LayoutKey{c, false};
    if (c >= U'A' && c <= U'Z')
        return LayoutKey{c - U'A' + U'a', true};
    if (kPlain.find(c) != kPlain.npos)
        return LayoutKey{c, false};
    if (auto at = kShifted.find(c); at != kShifted.npos)
        return LayoutKey{kPlain[at], true};
    return std::nullopt;
}

char32_t produced(char32_t plain, bool shift) {
    if (!shift)
        return plain;
    if (plain >= U'a' && plain <= U'z')
        return plain - U'a' + U'A';
    return kShifted[kPlain.find(plain)];
}

std::string keyName(Key key) {
    switch (key) {
        case Key::Enter:
            return "Enter";
        case Key::Tab:
            return "Tab";
        case Key::Escape:
            return "Esc";
        case Key::PrintScreen:
            return "PrintScreen";
        case Key::Pause:
            return "Pause";
        case Key::ScrollLock:
            return "ScrollLock";
        case Key::F1:
        case Key::F2:
        case Key::F3:
        case Key::F4:
        case Key::F5:
        case Key::F6:
        case Key::F7:
        case Key::F8:
        case Key::F9:
        case Key::F10:
            return "F" + std::to_string(directInputCode(key) - directInputCode(Key::F1) + 1);
        case Key::F11:
            return "F11";
        case Key::F12:
            return "F12";
        default:
            return "Key" + std::to_string(directInputCode(key));
    }
}

std::string utf8(char32_t c) {
    std::string out;
    appendUtf8(out, c);
    return out;
}

}  // namespace

void FakeKeySender::send(std::span<const KeyEvent> events) {
    if (!events.empty() && (fault(Call::KeySend) || refuse))
        throw RaidError(err::kDeviceUnavailable, "Raidkit", "The system refused the typed keys");
    for (const KeyEvent& e : events) {
        down.insert(repeating.begin(), repeating.end());
        switch (e.kind) {
            case KeyEvent::Kind::Down:
                letGo(e.letGo);
                press(e.key);
                break;
            case KeyEvent::Kind::Up:
                down.erase(e.key);
                break;
            case KeyEvent::Kind::Char:
                letGo(e.letGo);
                type(e.ch, e.held);
                break;
        }
    }
}

void FakeKeySender::letGo(Modifiers modifiers) {
    std::erase_if(down, [modifiers](Key k) { return (modifierBitOf(k) & modifiers) != 0; });
}

std::string FakeKeySender::box() const {
    std::string out;
    for (char32_t c : box_) out += utf8(c);
    return out;
}

std::string FakeKeySender::withModifiers(std::string name) const {
    std::string prefix;
    if (modifierDown(mod::kCtrl))
        prefix += "Ctrl+";
    if (modifierDown(mod::kAlt))
        prefix += "Alt+";
    if (modifierDown(mod::kShift))
        prefix += "Shift+";
    return prefix + name;
}

void FakeKeySender::press(Key key) {
    down.insert(key);
    if (modifierDown(mod::kShift | mod::kCtrl | mod::kAlt) == 0 && edit(key))
        return;
    if (key == Key::Enter && !modifierDown(mod::kCtrl | mod::kAlt)) {
        sentLines.push_back(box());
        box_.clear();
        caret_ = 0;
        return;
    }
    if (modifierBitOf(key) == 0)
        otherKeys.push_back(withModifiers(keyName(key)));
}

// Editing keys edit only when no modifier is down: with one they select or jump, which this box
// does not model, so they count as other keys.
bool FakeKeySender::edit(Key key) {
    switch (key) {
        case Key::Backspace:
            if (caret_ > 0)
                box_.erase(--caret_, 1);
            return true;
        case Key::Delete:
            if (caret_ < box_.size())
                box_.erase(caret_, 1);
            return true;
        case Key::Left:
            caret_ -= caret_ > 0 ? 1 : 0;
            return true;
        case Key::Right:
            caret_ += caret_ < box_.size() ? 1 : 0;
            return true;
        case Key::Home:
            caret_ = 0;
            return true;
        case Key::End:
            caret_ = box_.size();
            return true;
        default:
            return false;
    }
}

Modifiers FakeKeySender::modifierDown(Modifiers which) const {
    Modifiers bits = 0;
    for (Key k : down) bits |= modifierBitOf(k);
    return bits & which;
}

// As the Win32 sender types a character: the layout's key, with Shift added when the layout
// needs it and the sequence does not hold it; what the window gets depends on every key down.
void FakeKeySender::type(char32_t c, Modifiers held) {
    const std::optional<LayoutKey> key = layoutKey(c);
    if (!key)
        return insert(c);  // sent as a Unicode character: no key, no modifier applies
    const bool addShift = key->shift && !(held & mod::kShift);
    if (addShift)
        down.insert(Key::LShift);
    const bool shift = modifierDown(mod::kShift) != 0;
    if (modifierDown(mod::kCtrl | mod::kAlt)) {
        otherKeys.push_back(withModifiers(utf8(key->plain)));
    } else {
        insert(produced(key->plain, shift));
    }
    if (addShift)
        down.erase(Key::LShift);
}

void FakeKeySender::insert(char32_t c) {
    box_.insert(caret_++, 1, c);
}

}  // namespace rk
