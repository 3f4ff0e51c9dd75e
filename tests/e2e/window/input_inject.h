// Keyboard input as a player gives it, for driving the program's windows.
#pragma once

#include <windows.h>

#include <string>

namespace rkprobe {

// Brings control's window to the front and gives control the keyboard focus.
bool focusControl(HWND control);
// Types text into whatever has the focus, one character at a time.
void typeText(const std::wstring& text);
void pressKey(WORD virtualKey);

}  // namespace rkprobe
