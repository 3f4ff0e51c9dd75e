// What the program knows of the game Ironveil beyond its folders (game_folder.h): how its window
// is found, how its launcher starts the intro-movie player, its process and its profiles.
#pragma once

#include <string_view>

namespace rk {

// The whole title of the game's main window; the system compares it without regard to case.
inline constexpr std::string_view kGameTitle = "Ironveil";
// The argument string the game's launcher gives its intro-movie player.
inline constexpr std::string_view kRelaunchArguments = "go /D8 /C /R /I100 /U1";
// The game's process, as the process killer names it.
inline constexpr std::string_view kGameProcessName = "ironveil";
// Profiles: text files whose line 64 is the name line.
inline constexpr std::string_view kDefaultProfileName = "Player.cfg";
inline constexpr std::string_view kProfilePattern = "*.cfg";

}  // namespace rk
