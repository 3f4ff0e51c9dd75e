// Stand-in for the running game while the idle cost is measured: one window titled "Ironveil"
// that does nothing, so all CPU the bench sees comes from the program under test.
#include <windows.h>

#include "plain_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    bench::WindowHandle game = bench::openPlainWindow(L"Ironveil", 200, 150, 480, 320);
    if (game.get() == nullptr)
        return 1;
    SetForegroundWindow(game.get());
    return bench::runMessageLoop();
}
