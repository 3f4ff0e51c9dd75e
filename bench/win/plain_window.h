// Visible do-nothing top-level windows for the bench's stand-ins (the game, the other programs).
#pragma once

#include <windows.h>

#include "tick_window.h"

namespace bench {

// The default window procedure does all: paint, move, close. Closing the last window of the
// process does not end it; the stand-ins end when they are killed or their windows are closed.
inline WindowHandle openPlainWindow(const wchar_t* title, int x, int y, int width, int height) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    static const ATOM cls = [instance] {
        WNDCLASSW c{};
        c.lpfnWndProc = DefWindowProcW;
        c.hInstance = instance;
        c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        c.lpszClassName = L"BenchPlainWindow";
        return RegisterClassW(&c);
    }();
    HWND window = CreateWindowExW(0, MAKEINTATOM(cls), title, WS_OVERLAPPEDWINDOW, x, y, width,
                                  height, nullptr, nullptr, instance, nullptr);
    if (window != nullptr)
        ShowWindow(window, SW_SHOWNOACTIVATE);
    return WindowHandle(window);
}

inline int runMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

}  // namespace bench
