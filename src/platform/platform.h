// Everything the core reaches the system through, bundled for Form1.
#pragma once

#include <string>

#include "platform/capture_files.h"
#include "platform/clipboard.h"
#include "platform/controls.h"
#include "platform/dialogs.h"
#include "platform/file_dialogs.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/gdi.h"
#include "platform/key_sender.h"
#include "platform/keyboard.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/shell_windows.h"
#include "platform/text_files.h"
#include "platform/tray.h"
#include "platform/window_system.h"

namespace rk {

// Where this copy runs from and how it was started.
struct ProcessInfo {
    std::string folder;       // folder of the executable, no trailing backslash
    std::string exeName;      // executable name without extension
    std::string commandLine;  // the whole command line, program path included
};

struct Platform {
    Registry& registry;
    WindowSystem& windows;
    Processes& processes;
    Files& files;
    KeyboardDevice& keyboard;
    Dialogs& dialogs;
    ShellWindows& shell;
    Controls& controls;
    Tray& tray;
    FileDialogs& fileDialogs;
    TextFiles& textFiles;
    AnsiCodePage& codePage;
    KeySender& keys;
    Clipboard& clipboard;
    Gdi& gdi;
    CaptureFiles& captureFiles;
    Folders& folders;
};

}  // namespace rk
