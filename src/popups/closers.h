// The two messenger pop-up closers run in every poll tick while the game's window exists.
#pragma once

#include <string_view>

#include "platform/window_system.h"

namespace rk {

inline constexpr std::string_view kServiceTitle = "Messenger Service";

// Sign-in notices: while check1Ticked and the game runs, asks every top-level window whose title
// holds text1 (case-sensitive, anywhere) to close. No window is exempt, ours included.
void CheckMSN(WindowSystem& windows, bool check1Ticked, std::string_view text1);

// Messenger Service pop-ups: while the game runs, gives the game the front before asking each
// to close, so the pop-up does not leave the player outside the game.
void CloseThatDirtyFuckingSpam(WindowSystem& windows);

}  // namespace rk
