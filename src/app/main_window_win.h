// The main window Form1 and the info window ICONfrm as real Windows windows.
#pragma once

#include <windows.h>

#include "app/window_events_win.h"
#include "platform/win32/controls_win.h"

namespace rk::app {

// Hidden, with the design's title and client size at the window's DPI, and its controls added
// to controls by name. The window keeps a pointer to events until it is destroyed. nullptr when
// Windows refuses.
HWND createMainWindow(HINSTANCE instance, WindowEvents& events, win::Win32Controls& controls);

// Hidden; closing it only hides it, so that there is only ever one.
HWND createInfoWindow(HINSTANCE instance, WindowEvents& events);

// The info window's icon at the small-icon size, for the tray; owned by the system.
HICON infoWindowSmallIcon(HINSTANCE instance);

}  // namespace rk::app
