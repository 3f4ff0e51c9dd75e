// A window's DPI and window sizes from twips at that DPI.
#pragma once

#include <windows.h>

namespace rk::win {

// The window's DPI (per monitor where Windows supports it), else the screen's.
UINT dpiOf(HWND window);

// Outer window size for a client area given in twips, at the given DPI.
SIZE windowSizeForClient(int clientWidthTwips, int clientHeightTwips, DWORD style, DWORD exStyle,
                         UINT dpi);

// Font height (negative: character height) for a size in hundredths of a point at dpi.
int fontHeightAt(int centiPoints, UINT dpi);

}  // namespace rk::win
