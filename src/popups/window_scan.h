// module_EnumWindows: one pass over the top-level windows, as both pop-up closers read it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/window_system.h"

namespace rk {

// A titled window met by a scan.
struct ListedWindow {
    std::size_t position = 0;  // 1-based place in the enumeration, untitled windows counted
    std::string title;
    WindowId window = 0;
};

struct WindowList {
    std::vector<ListedWindow> titled;  // in the platform's order
    std::size_t windowCount = 0;       // every window met, with a title or without
};

// Every top-level window, however many there are: a fixed-size table would leave the pop-ups
// beyond its end open. Windows without a title are counted but not listed.
WindowList ScanWindows(WindowSystem& windows);

}  // namespace rk
