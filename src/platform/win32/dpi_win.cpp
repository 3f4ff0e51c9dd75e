// Implements: dpiOf, windowSizeForClient, fontHeightAt.
#include "platform/win32/dpi_win.h"

#include <cmath>

#include "platform/win32/handles_win.h"
#include "shell/layout.h"

namespace rk::win {

namespace {
// Looked up at run time: both calls are missing before Windows 10 1607.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

template <class Fn>
Fn user32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                  : nullptr;
}
}  // namespace

UINT dpiOf(HWND window) {
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0)
            return dpi;
    }
    WindowDc screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

SIZE windowSizeForClient(int clientWidthTwips, int clientHeightTwips, DWORD style, DWORD exStyle,
                         UINT dpi) {
    static const auto adjustForDpi = user32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    const int d = static_cast<int>(dpi);
    RECT rect{0, 0, twipsToPixels(clientWidthTwips, d), twipsToPixels(clientHeightTwips, d)};
    if (!adjustForDpi || !adjustForDpi(&rect, style, FALSE, exStyle, dpi)) {
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    }
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

int fontHeightAt(int centiPoints, UINT dpi) {
    return -static_cast<int>(std::lround(centiPoints * static_cast<double>(dpi) / 7200.0));
}

}  // namespace rk::win
