// Window sizes from twips at a window's real DPI.
#pragma once

#include <windows.h>

namespace rk::app {

// The window's DPI (per monitor where Windows supports it), else the screen's.
UINT dpiOf(HWND window);

// Outer window size for a client area given in twips, at the given DPI.
SIZE windowSizeForClient(int clientWidthTwips, int clientHeightTwips, DWORD style, DWORD exStyle,
                         UINT dpi);

}  // namespace rk::app
