// What Pause and Scroll Lock do to the game.
#pragma once

#include <string_view>

#include "platform/files.h"
#include "platform/processes.h"
#include "platform/window_system.h"

namespace rk {

// <folder>\Kill.exe -f ironveil, started by its full path with a hidden window.
LaunchCommand killerCommand(std::string_view folder);

struct FreezeEscapePlatform {
    WindowSystem& windows;
    Files& files;
    Processes& processes;
};

// Pause: while the game's window exists, have Kill.exe end the game; without a usable Kill.exe
// end the process that owns the game's window directly. When neither ends it, raises why Kill.exe
// did not (File not found where there is none). Never ends this program.
void freezeEscape(FreezeEscapePlatform p, std::string_view folder);

// Scroll Lock: bring the game's window to the front when it exists.
void bringGameToFront(WindowSystem& windows);

}  // namespace rk
