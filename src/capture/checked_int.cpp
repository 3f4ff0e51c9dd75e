#include "capture/checked_int.h"

#include <limits>

#include "platform/error.h"

namespace rk {

std::int32_t checkedNarrow(std::int64_t value) {
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        throw RaidError(err::kOverflow, "Raidkit", "Overflow");
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t checkedAdd(std::int32_t a, std::int32_t b) {
    return checkedNarrow(std::int64_t{a} + b);
}

std::int32_t checkedSub(std::int32_t a, std::int32_t b) {
    return checkedNarrow(std::int64_t{a} - b);
}

std::int32_t checkedMul(std::int32_t a, std::int32_t b) {
    return checkedNarrow(std::int64_t{a} * b);
}

}  // namespace rk
