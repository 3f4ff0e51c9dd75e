// The timer floor plus what any background keyboard poller must do: one DirectInput 8 read of
// the whole keyboard per tick.
#include <windows.h>

#include "dinput_keyboard.h"
#include "tick_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    bench::raisePriority();
    bench::DinputKeyboard keyboard;
    bench::TickWindow window(L"floor_dinput", [&keyboard] { keyboard.read(); });
    if (!keyboard.open(window.handle()))
        return 2;
    return window.run();
}
