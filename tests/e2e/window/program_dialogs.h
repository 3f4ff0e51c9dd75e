// The running program's modal windows seen from outside: its common open and save dialogs and
// its message boxes, read and answered as a player does, and clicks that wait for the handler.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace rkprobe {

// rkprobe's lines of usage for the commands below.
extern const char kDialogCommandsUsage[];

// A visible dialog window (#32770: common dialog or message box) of the program titled title;
// nullptr when there is none.
HWND programDialog(const std::string& title);

// Runs one of the dialog commands; nullopt when args name none of them.
std::optional<int> runDialogCommand(const std::vector<std::string>& args);

}  // namespace rkprobe
