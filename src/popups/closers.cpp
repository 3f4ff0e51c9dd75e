#include "popups/closers.h"

#include "popups/window_scan.h"
#include "shell/launch.h"

namespace rk {

namespace {
bool holds(std::string_view title, std::string_view text) {
    return title.find(text) != std::string_view::npos;
}
}  // namespace

void CheckMSN(WindowSystem& windows, bool check1Ticked, std::string_view text1) {
    if (!check1Ticked)
        return;
    if (windows.findByTitle(kGameTitle) == 0)
        return;
    // The empty text is found in every title: it would close every titled window.
    if (text1.empty())
        return;
    for (const ListedWindow& listed : ScanWindows(windows).titled) {
        if (holds(listed.title, text1))
            windows.postClose(listed.window);
    }
}

void CloseThatDirtyFuckingSpam(WindowSystem& windows) {
    WindowId game = windows.findByTitle(kGameTitle);
    if (game == 0)
        return;
    for (const ListedWindow& listed : ScanWindows(windows).titled) {
        if (!holds(listed.title, kServiceTitle))
            continue;
        // Each pop-up may have taken the front from the game: give it back every time.
        windows.bringToFront(game);
        windows.postClose(listed.window);
    }
}

}  // namespace rk
