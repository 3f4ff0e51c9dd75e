// Implements: rk::win::Win32Dialogs (MessageBoxW, task-modal).
#include "platform/win32/dialogs_win.h"

#include <windows.h>

#include "platform/win32/text_win.h"

namespace rk::win {

namespace {
UINT iconFlags(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::Error:
            return MB_ICONERROR;
        case BoxIcon::Information:
            return MB_ICONINFORMATION;
        case BoxIcon::None:
            break;
    }
    return 0;
}
}  // namespace

void Win32Dialogs::messageBox(std::string_view text, std::string_view title, BoxIcon icon) {
    // No owner: the main window may be hidden in the tray. Task-modal keeps the program's own
    // windows from taking input meanwhile, and the box comes to the front over the game.
    MessageBoxW(nullptr, toWide(text).c_str(), toWide(title).c_str(),
                MB_OK | MB_TASKMODAL | MB_SETFOREGROUND | iconFlags(icon));
}

}  // namespace rk::win
