#include "popups/window_scan.h"

namespace rk {

WindowList ScanWindows(WindowSystem& windows) {
    WindowList list;
    for (WindowId window : windows.topLevelWindows()) {
        ++list.windowCount;
        // A window that has gone since the enumeration reads as untitled.
        std::string title = windows.titleOf(window);
        if (!title.empty())
            list.titled.push_back({list.windowCount, std::move(title), window});
    }
    return list;
}

}  // namespace rk
