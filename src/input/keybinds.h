// The keybind counters behind "$a" to "$d" and their replacement in a chat line.
#pragma once

#include <cstdint>
#include <string>

namespace rk {

// One counter per variable, shared by all four keybinds. 64 bits: one step per typed line can
// never wrap.
struct KeybindCounters {
    std::uint64_t CountA = 0;
    std::uint64_t CountB = 0;
    std::uint64_t CountC = 0;
    std::uint64_t CountD = 0;

    // For each of "$a", "$b", "$c", "$d" (exact, case-sensitive) that txtText holds: its counter
    // steps once and every occurrence becomes the new value. Changes txtText in place and
    // returns it.
    std::string& Parse_Vars(std::string& txtText);
};

}  // namespace rk
