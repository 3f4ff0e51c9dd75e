// Top-level windows looked up by their whole title, the way the program finds the game.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace e2e {

struct WindowInfo {
    HWND hwnd = nullptr;
    DWORD pid = 0;
    bool visible = false;
    std::wstring title;
    std::wstring class_name;
};

// FindWindowW: whole title, case ignored, like the program's own look-up.
HWND find_window(std::wstring_view title);
std::wstring window_title(HWND hwnd);
std::vector<WindowInfo> top_level_windows();

}  // namespace e2e
