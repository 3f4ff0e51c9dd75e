#include "input/key_watch.h"

namespace rk {

std::vector<KeyAction> KeyWatch::pressed(const KeyState& now) {
    std::vector<KeyAction> actions;
    for (const auto& key : kWatchedKeys) {
        if (now[key.code] == 0) {
            ignored_[key.code] = false;
        } else if (previous_[key.code] == 0 && !ignored_[key.code]) {
            actions.push_back(key.action);
        }
    }
    previous_ = now;
    return actions;
}

}  // namespace rk
