#include "key_names.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <string>

namespace e2e {

namespace {

struct NamedKey {
    std::string_view name;
    KeySpec key;
};

// Scan codes are given only where the layout's answer is not what a real keyboard sends:
// MapVirtualKey gives Print Screen the Alt+SysRq code 0x54, while the key itself sends E0 37.
// Pause sends E1 1D 45; Windows reports it as 0x45 without the extended flag (Num Lock is the
// extended one), and that is the form a program's hooks see.
constexpr std::array kNamedKeys{
    NamedKey{"printscreen", {0x2C, 0x37, true}},
    NamedKey{"snapshot", {0x2C, 0x37, true}},
    NamedKey{"sysrq", {0x2C, 0x37, true}},
    NamedKey{"pause", {0x13, 0x45, false}},
    NamedKey{"scrolllock", {0x91, 0, false}},
    NamedKey{"scroll", {0x91, 0, false}},
    NamedKey{"numlock", {0x90, 0x45, true}},
    NamedKey{"capslock", {0x14, 0, false}},
    NamedKey{"enter", {0x0D, 0, false}},
    NamedKey{"return", {0x0D, 0, false}},
    NamedKey{"escape", {0x1B, 0, false}},
    NamedKey{"esc", {0x1B, 0, false}},
    NamedKey{"space", {0x20, 0, false}},
    NamedKey{"tab", {0x09, 0, false}},
    NamedKey{"backspace", {0x08, 0, false}},
    NamedKey{"insert", {0x2D, 0, true}},
    NamedKey{"delete", {0x2E, 0, true}},
    NamedKey{"home", {0x24, 0, true}},
    NamedKey{"end", {0x23, 0, true}},
    NamedKey{"pageup", {0x21, 0, true}},
    NamedKey{"pagedown", {0x22, 0, true}},
    NamedKey{"left", {0x25, 0, true}},
    NamedKey{"up", {0x26, 0, true}},
    NamedKey{"right", {0x27, 0, true}},
    NamedKey{"down", {0x28, 0, true}},
    NamedKey{"shift", {0xA0, 0, false}},
    NamedKey{"lshift", {0xA0, 0, false}},
    NamedKey{"rshift", {0xA1, 0, false}},
    NamedKey{"ctrl", {0xA2, 0, false}},
    NamedKey{"lctrl", {0xA2, 0, false}},
    NamedKey{"rctrl", {0xA3, 0, true}},
    NamedKey{"alt", {0xA4, 0, false}},
    NamedKey{"lalt", {0xA4, 0, false}},
    NamedKey{"ralt", {0xA5, 0, true}},
    NamedKey{"lwin", {0x5B, 0, true}},
    NamedKey{"rwin", {0x5C, 0, true}},
    NamedKey{"apps", {0x5D, 0, true}},
};

// A key given by number is sent like the same key given by name.
KeySpec spec_for_vk(std::uint16_t vk) {
    const auto it = std::find_if(kNamedKeys.begin(), kNamedKeys.end(),
                                 [vk](const NamedKey& k) { return k.key.vk == vk; });
    return it != kNamedKeys.end() ? it->key : KeySpec{vk, 0, false};
}

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::optional<std::uint16_t> parse_number(std::string_view digits, int base, unsigned max) {
    unsigned value = 0;
    const auto [end, ec] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (digits.empty() || ec != std::errc{} || end != digits.data() + digits.size() ||
        value > max) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

}  // namespace

std::optional<KeySpec> parse_key(std::string_view text) {
    const std::string name = lower(text);
    for (const NamedKey& k : kNamedKeys) {
        if (k.name == name) {
            return k.key;
        }
    }
    if (name.size() == 1 && (std::isalnum(static_cast<unsigned char>(name[0])) != 0)) {
        // Letters and digits: the virtual-key code is the upper-case character.
        return KeySpec{
            static_cast<std::uint16_t>(std::toupper(static_cast<unsigned char>(name[0]))), 0,
            false};
    }
    if (name.size() >= 2 && name[0] == 'f') {
        if (const auto n = parse_number(std::string_view(name).substr(1), 10, 24); n && *n >= 1) {
            return KeySpec{static_cast<std::uint16_t>(0x70 + *n - 1), 0, false};
        }
        return std::nullopt;
    }
    if (name.starts_with("0x")) {
        if (const auto vk = parse_number(std::string_view(name).substr(2), 16, 0xFE); vk && *vk) {
            return spec_for_vk(*vk);
        }
    }
    return std::nullopt;
}

}  // namespace e2e
