// Core-side types shared by every platform interface: no Windows types cross the seam.
#pragma once

#include <cstdint>
#include <string>

namespace rk {

// Opaque handle of a top-level window; 0 means none.
using WindowId = std::uint64_t;
using ProcessId = std::uint32_t;

// The ShowWindow commands the program uses (values as Windows defines them).
enum class ShowCommand : int {
    Hide = 0,
    Normal = 1,
    Minimized = 2,
    Maximized = 3,
    Show = 5,
    Restore = 9,
};

}  // namespace rk
