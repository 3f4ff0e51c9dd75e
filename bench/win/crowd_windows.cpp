// A desktop's worth of other programs' windows (50 by default, or the number given), so that
// a tick that scans every top-level window pays what it pays on a player's machine.
#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <vector>

#include "plain_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    int count = 50;
    if (commandLine != nullptr && *commandLine != '\0')
        count = std::atoi(commandLine);
    if (count <= 0)
        return 1;
    std::vector<bench::WindowHandle> windows;
    windows.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        wchar_t title[64];
        std::swprintf(title, 64, L"Crowd window %02d - Notepad", i + 1);
        // Tiled over the left of the screen; overlap is fine, they are never looked at.
        windows.push_back(
            bench::openPlainWindow(title, 10 + (i % 10) * 30, 10 + (i / 10) * 40, 160, 60));
        if (windows.back().get() == nullptr)
            return 2;
    }
    return bench::runMessageLoop();
}
