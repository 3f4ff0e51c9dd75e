// What the program's window procedures hand on: they only dispatch, never decide.
#pragma once

#include <windows.h>

#include <string_view>

#include "platform/controls.h"

namespace rk::win {

constexpr UINT_PTR kTimer1Id = 1;
constexpr UINT_PTR kTimer2Id = 2;
// The shell reports mouse actions on the tray icon with this message (lParam: the action).
constexpr UINT kTrayMessage = WM_APP + 1;

class WindowEvents {
  public:
    virtual ~WindowEvents() = default;
    // A click or text change of a main-window control, by its design name.
    virtual void controlNotified(std::string_view control, ControlEvent event) = 0;
    // A click of one of the info window's buttons, by its design name.
    virtual void infoClicked(std::string_view control) = 0;
    virtual void timerFired(UINT_PTR timerId) = 0;
    virtual void trayNotified(LPARAM mouseMessage) = 0;
    // Explorer restarted and lost every tray icon.
    virtual void taskbarCreated() = 0;
    // WM_DESTROY of the main window: the unload.
    virtual void mainDestroyed() = 0;
    // WM_NCDESTROY of either window: its handle is dead from now on.
    virtual void windowGone(HWND window) = 0;
};

}  // namespace rk::win
