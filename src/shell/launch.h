// How this copy was started, and the command lines it starts other programs with.
#pragma once

#include <string>
#include <string_view>

#include "game/game.h"
#include "platform/processes.h"
#include "text/command_line.h"

namespace rk {

enum class LaunchMode { Normal, Relaunch, Tray };

inline constexpr std::string_view kTrayArguments = "/Mini";

inline constexpr std::string_view kMainTitle = "Raidkit v2.2 By Velmor";
inline constexpr std::string_view kSearchTitle = "GK";
inline constexpr std::string_view kClosingTitle = "Closing...";

// The text that follows the program's path on a command line (quoted or not), without the
// blanks that separate the two. Blanks after the arguments are kept: they make another string.
// A launcher may write our full path unquoted although it holds blanks; when programPath is
// given and the line starts with it, that whole path is skipped.
std::string argumentsOf(std::string_view commandLine, std::string_view programPath = {});

// Exact, case-sensitive match of the whole argument string.
LaunchMode launchModeOf(std::string_view arguments);

// <folder>\<exe>.exe started by its full path with exactly "/Mini" as its arguments.
LaunchCommand relaunchCommand(std::string_view folder, std::string_view exeName);

}  // namespace rk
