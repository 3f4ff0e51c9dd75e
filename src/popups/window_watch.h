// The pop-up closers' view of the desktop: the game window and the window scan, kept from one
// tick to the next while nothing can have changed them.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

#include "platform/window_system.h"
#include "popups/window_scan.h"

namespace rk {

using WatchClock = std::chrono::steady_clock;

// Looked at again whatever the change count says: Wine 8 announces only new windows (a
// retitled window goes unannounced) and any system may lose an event. An idle look is one pass
// over the titles, about 2-3 ms of CPU under Wine with 50 windows: every 5 s that is a few
// per cent of the DirectInput floor, and an unannounced pop-up still goes within 5 s.
inline constexpr std::chrono::milliseconds kWatchRefresh{5000};

class WindowWatch {
  public:
    explicit WindowWatch(WindowSystem& windows,
                         std::function<WatchClock::time_point()> clock = WatchClock::now,
                         std::chrono::milliseconds refresh = kWatchRefresh);

    // Moves whenever game() or scan() may answer otherwise than before: a window may have
    // changed, a look was asked for, or the refresh period ran out. The first call of a new
    // generation is where the next look starts, so a caller that did nothing at some
    // generation would do nothing again at the same one.
    std::uint64_t generation();
    // The top-level window titled like the game (case ignored), or 0: as findByTitle answers.
    WindowId game();
    // As ScanWindows answers. The reference holds until the next generation(), game() or
    // scan().
    const WindowList& scan();

    // The next call looks afresh, whatever the change count says.
    void lookAgain();
    // Asks the window to close. It only may close, later: the next look starts afresh, so a
    // pop-up still open then is found and asked again.
    void postClose(WindowId window);

  private:
    void refreshIfStale();

    WindowSystem& windows_;
    std::function<WatchClock::time_point()> clock_;
    std::chrono::milliseconds refresh_;
    bool stale_ = true;
    std::uint64_t count_ = 0;  // the change count the cache stands for
    WatchClock::time_point lookedAt_{};
    std::uint64_t generation_ = 0;
    std::optional<WindowId> game_;
    std::optional<WindowList> scan_;
};

}  // namespace rk
