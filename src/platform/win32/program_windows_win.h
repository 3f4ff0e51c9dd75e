// The main window Form1 and the info window ICONfrm as real windows, built from their designs.
#pragma once

#include <windows.h>

#include "platform/win32/controls_win.h"
#include "platform/win32/window_events_win.h"

namespace rk::win {

struct WindowIcons {
    HICON large = nullptr;
    HICON small = nullptr;
};

// Hidden, with the design's title, client size and controls at the window's DPI; the controls
// are added to controls by their design names. The window keeps a pointer to events until it is
// destroyed. nullptr when Windows refuses.
HWND createMainWindow(HINSTANCE instance, const WindowIcons& icons, WindowEvents& events,
                      Win32Controls& controls);

// Hidden, holding the help text; closing it only hides it, so that there is only ever one.
HWND createInfoWindow(HINSTANCE instance, const WindowIcons& icons, WindowEvents& events);

// The keyboard a dialog has, for both windows: Tab by tab index, access keys, Esc presses the
// cancel button, Enter the focused button. Call for every message before translating it; true
// when the message was used up.
bool translateWindowKeys(MSG& msg);

}  // namespace rk::win
