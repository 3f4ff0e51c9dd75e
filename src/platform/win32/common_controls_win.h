// The common-controls library (comctl32, version 6 through the manifest), loaded at run time
// from the system folder: imported, it would be loaded before the program could narrow the
// library search, and the libraries it loads in turn (uxtheme) would be taken from the
// program's own folder first.
#pragma once

#include <windows.h>
// commctrl.h needs the types windows.h defines.
#include <commctrl.h>

namespace rk::win {

// False when the library or the call is missing.
bool initCommonControls(DWORD classes);
BOOL setWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data);
BOOL removeWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id);
LRESULT defSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace rk::win
