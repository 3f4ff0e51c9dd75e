#include "popups/window_watch.h"

#include <utility>

#include "game/game.h"

namespace rk {

WindowWatch::WindowWatch(WindowSystem& windows, std::function<WatchClock::time_point()> clock,
                         std::chrono::milliseconds refresh)
    : windows_(windows), clock_(std::move(clock)), refresh_(refresh) {}

void WindowWatch::refreshIfStale() {
    // The count is taken before looking, so a change during the look shows at the next call.
    const std::uint64_t count = windows_.changeCount();
    const WatchClock::time_point now = clock_();
    if (!stale_ && count == count_ && now - lookedAt_ < refresh_)
        return;
    stale_ = false;
    count_ = count;
    lookedAt_ = now;
    ++generation_;
    game_.reset();
    scan_.reset();
}

std::uint64_t WindowWatch::generation() {
    refreshIfStale();
    return generation_;
}

WindowId WindowWatch::game() {
    refreshIfStale();
    if (!game_)
        game_ = windows_.findByTitle(kGameTitle);
    return *game_;
}

const WindowList& WindowWatch::scan() {
    refreshIfStale();
    if (!scan_)
        scan_ = ScanWindows(windows_);
    return *scan_;
}

void WindowWatch::lookAgain() {
    stale_ = true;
}

void WindowWatch::postClose(WindowId window) {
    windows_.postClose(window);
    lookAgain();
}

}  // namespace rk
