// 32-bit signed arithmetic that raises the overflow error (6) instead of wrapping: the surface
// sizes and the writer's fields are 32-bit values whose overflow the player is told about.
#pragma once

#include <cstdint>

namespace rk {

std::int32_t checkedAdd(std::int32_t a, std::int32_t b);
std::int32_t checkedSub(std::int32_t a, std::int32_t b);
std::int32_t checkedMul(std::int32_t a, std::int32_t b);
// Raises overflow for a value outside the signed 32-bit range.
std::int32_t checkedNarrow(std::int64_t value);

}  // namespace rk
