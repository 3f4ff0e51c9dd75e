// Facts read from the live windows of a running raidkit.exe, from outside its process.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/layout.h"

namespace rkprobe {

enum class Which { Main, Info };

// "main" or "info" as written on rkprobe's command line.
std::optional<Which> whichOf(std::string_view name);
const rk::WindowSpec& designOf(Which which);
// The program's window by its class, nullptr when there is none.
HWND findProgramWindow(Which which);

struct LiveControl {
    const rk::ControlSpec* design = nullptr;  // nullptr: a child the design does not name
    HWND hwnd = nullptr;
    int id = 0;
    std::wstring windowClass;
    RECT rect{};  // in the window's client coordinates
    DWORD style = 0;
    std::wstring text;
    int stackRank = 0;  // 0: the topmost child
};

// Every child window, in stacking order (topmost first).
std::vector<LiveControl> readControls(HWND window, const rk::WindowSpec& design);
const LiveControl* findLive(const std::vector<LiveControl>& controls, std::string_view name);
// The live control the design names name; nullptr when the window or the control is missing.
HWND controlOf(Which which, std::string_view name);

std::wstring windowText(HWND window);
// The font a control of window uses, as the program reports it.
std::optional<LOGFONTW> fontOf(HWND window, int controlId);
// The control of window's thread that holds the keyboard focus.
HWND focusOf(HWND window);
bool isChecked(HWND button);
UINT dpiOfWindow(HWND window);
RECT clientRectOnScreen(HWND window);

// Waits until condition() holds, polling; false after timeoutMs.
template <class Condition>
bool waitFor(Condition condition, int timeoutMs) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= end)
            return false;
        Sleep(25);
    }
}

}  // namespace rkprobe
