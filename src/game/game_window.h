// Bringing the game's window to the front from a program that only reads the keys.
#pragma once

#include "platform/window_system.h"

namespace rk {

// Restores a minimized window (one that stays minimized has not come to the front), claims
// the right to set the foreground, and brings the window to the front.
void bringWindowForward(WindowSystem& windows, WindowId window);

}  // namespace rk
