// Key names accepted by rkdriver, turned into what SendInput needs.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace e2e {

struct KeySpec {
    std::uint16_t vk = 0;
    // 0: ask the keyboard layout (MapVirtualKeyW) when sending.
    std::uint16_t scan = 0;
    bool extended = false;
};

// A name from the table ("F9", "pause", "PrintScreen", ...; case-insensitive) or a virtual-key
// code written in hex with a 0x prefix ("0x13"). Empty for anything else.
std::optional<KeySpec> parse_key(std::string_view text);

}  // namespace e2e
