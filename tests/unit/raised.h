// The number of the RaidError a piece of code raises, 0 when it raises none.
#pragma once

#include <functional>

#include "platform/error.h"

namespace rk {

inline int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const RaidError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace rk
