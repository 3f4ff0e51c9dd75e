// The DirectInput floor plus the pop-up closers' work of a tick while the game runs: a look-up
// of the game window by title and a scan of every top-level window's title, once or (with the
// sign-in closer on) twice. Run by the bench to tell how much of the program's idle cost this
// part of its tick explains.
//
//   probe_scan.exe [scans per tick, default 1]
#include <windows.h>

#include <cstdlib>
#include <string>

#include "dinput_keyboard.h"
#include "tick_window.h"

namespace {

// Titles are read as the Win32 layer reads them: length first, then the text.
BOOL CALLBACK readTitle(HWND window, LPARAM sink) {
    const int length = GetWindowTextLengthW(window);
    if (length > 0) {
        std::wstring title(static_cast<size_t>(length) + 1, L'\0');
        const int got = GetWindowTextW(window, title.data(), length + 1);
        *reinterpret_cast<size_t*>(sink) += static_cast<size_t>(got > 0 ? got : 0);
    }
    return TRUE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const int scans = commandLine != nullptr && *commandLine != '\0' ? std::atoi(commandLine) : 1;
    bench::raisePriority();
    bench::DinputKeyboard keyboard;
    size_t characters = 0;
    bench::TickWindow window(L"probe_scan", [&] {
        keyboard.read();
        for (int i = 0; i < scans; ++i) {
            if (FindWindowW(nullptr, L"Ironveil") != nullptr)
                EnumWindows(readTitle, reinterpret_cast<LPARAM>(&characters));
        }
    });
    if (!keyboard.open(window.handle()))
        return 2;
    return window.run();
}
