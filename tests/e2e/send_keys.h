// Key presses injected with SendInput, as a physical keyboard would make them.
#pragma once

#include "key_names.h"

namespace e2e {

// One key event as a keyboard makes it. Returns false when Windows refused it.
bool send_key_event(const KeySpec& key, bool up);

// Key down, hold, key up. Returns false when Windows refused an event.
bool press_key(const KeySpec& key, unsigned hold_ms);

}  // namespace e2e
