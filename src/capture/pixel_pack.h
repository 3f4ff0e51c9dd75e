// 32-bit BGRX pixel rows packed into 24-bit BGR rows, the surface's format.
#pragma once

#include <cstdint>

namespace rk {

// Writes width pixels (3 * width bytes) to out and nothing past them. SSSE3 where the processor
// has it (every x86-64 processor since 2006), plain code otherwise.
void PackBgrxToBgr(const std::uint8_t* in, std::uint8_t* out, std::int32_t width);

// The plain code alone, to compare against.
void PackBgrxToBgrPlain(const std::uint8_t* in, std::uint8_t* out, std::int32_t width);

}  // namespace rk
