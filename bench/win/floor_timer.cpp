// The cheapest possible tray poller: a hidden window whose 15 ms timer does nothing.
#include <windows.h>

#include "tick_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    bench::raisePriority();
    bench::TickWindow window(L"floor_timer", [] {});
    return window.run();
}
