// One clock for the stand-in game and the driver: milliseconds of the performance counter,
// which every process on the machine shares, kept to 24 bits so that the game can paint them
// as a colour and a screenshot shows the moment it was taken.
#pragma once

#include <windows.h>

#include <cstdint>

namespace e2e {

inline std::uint32_t clock_ms() {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER now{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<std::uint32_t>(now.QuadPart / (frequency.QuadPart / 1000)) & 0xFFFFFF;
}

// Red, green, blue: the high, middle and low byte.
inline COLORREF clock_colour(std::uint32_t ms) {
    return RGB((ms >> 16) & 0xFF, (ms >> 8) & 0xFF, ms & 0xFF);
}

}  // namespace e2e
