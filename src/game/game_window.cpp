#include "game/game_window.h"

namespace rk {

void bringWindowForward(WindowSystem& windows, WindowId window) {
    if (window == 0)
        return;
    // Only a minimized window is restored: a maximized or full-screen game keeps its size.
    if (windows.minimized(window))
        windows.show(window, ShowCommand::Restore);
    windows.claimForeground();
    windows.bringToFront(window);
}

}  // namespace rk
