// What the program's window procedures hand on: they only dispatch, never decide.
#pragma once

#include <windows.h>

namespace rk::app {

constexpr UINT_PTR kTimer1Id = 1;
constexpr UINT_PTR kTimer2Id = 2;
// The shell reports mouse actions on the tray icon with this message (lParam: the action).
constexpr UINT kTrayMessage = WM_APP + 1;

class WindowEvents {
  public:
    virtual ~WindowEvents() = default;
    // BN_CLICKED or EN_CHANGE of a child control of the main window.
    virtual void controlNotified(HWND control, UINT code) = 0;
    virtual void timerFired(UINT_PTR timerId) = 0;
    virtual void trayNotified(LPARAM mouseMessage) = 0;
    // Explorer restarted and lost every tray icon.
    virtual void taskbarCreated() = 0;
    // WM_DESTROY of the main window: the unload.
    virtual void mainDestroyed() = 0;
    // WM_NCDESTROY of either window: its handle is dead from now on.
    virtual void windowGone(HWND window) = 0;
};

}  // namespace rk::app
