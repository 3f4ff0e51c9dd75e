// The two messenger pop-up closers run in every poll tick while the game's window exists.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/window_system.h"
#include "popups/window_watch.h"

namespace rk {

inline constexpr std::string_view kServiceTitle = "Messenger Service";

class PopupClosers {
  public:
    explicit PopupClosers(WindowSystem& windows,
                          std::function<WatchClock::time_point()> clock = WatchClock::now,
                          std::chrono::milliseconds refresh = kWatchRefresh)
        : windows_(windows), watch_(windows, std::move(clock), refresh) {}

    // Sign-in notices: while check1Ticked and the game runs, asks every top-level window whose
    // title holds text1 (case-sensitive, anywhere) to close. No window is exempt, ours included.
    void CheckMSN(bool check1Ticked, std::string_view text1);

    // Messenger Service pop-ups: while the game runs, gives the game the front before asking
    // each to close, so the pop-up does not leave the player outside the game.
    void CloseThatDirtyFuckingSpam();

  private:
    // A pass that closed nothing at a generation of the watch (and with a text) would close
    // nothing again at the same one: it is skipped, which makes an idle tick nearly free.
    struct QuietPass {
        std::uint64_t generation = 0;
        std::string text;
    };

    WindowSystem& windows_;
    WindowWatch watch_;
    std::optional<QuietPass> signInQuiet_;
    std::optional<std::uint64_t> serviceQuiet_;
};

}  // namespace rk
