// Runs the core's idle tick a given number of times, for callgrind: the instruction count of
// two runs with different tick counts gives the cost of one tick without the start-up.
//
//   bench_tick <ticks> [other windows, default 50] [--msn]
//
// --msn ticks the sign-in closer's box, the setting under which a tick does the most work.
// Exits non-zero when the program did not reach the idle state, so that a start-up that ends
// the program (and makes every tick return at once) cannot pass for a cheap tick.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "idle_desktop.h"

int main(int argc, char** argv) {
    long ticks = -1;
    int others = 50;
    bool msn = false;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--msn")
            msn = true;
        else if (positional++ == 0)
            ticks = std::strtol(argv[i], nullptr, 10);
        else
            others = std::atoi(argv[i]);
    }
    if (ticks < 0 || others < 0) {
        std::fprintf(stderr, "usage: %s <ticks> [other windows] [--msn]\n", argv[0]);
        return 2;
    }

    bench::IdleDesktop desktop(others, msn);
    if (desktop.form.ended() || !desktop.form.trayMode() || !desktop.dialogs.shown.empty() ||
        desktop.controls.value("Check1") != msn) {
        std::fprintf(stderr,
                     "bench_tick: the program did not start in tray mode as set up (ended %d, "
                     "tray %d, boxes %zu%s%s, MSN box %d)\n",
                     desktop.form.ended(), desktop.form.trayMode(), desktop.dialogs.shown.size(),
                     desktop.dialogs.shown.empty() ? "" : ": ",
                     desktop.dialogs.shown.empty() ? "" : desktop.dialogs.shown[0].text.c_str(),
                     desktop.controls.value("Check1"));
        return 1;
    }

    const int readsBefore = desktop.keyboard.reads;
    for (long i = 0; i < ticks; ++i) desktop.tick();

    // Every tick must have read the keyboard and acted on nothing: no window closed, nothing
    // started, no box shown.
    const bool idle = desktop.keyboard.reads - readsBefore == ticks && desktop.keyboard.acquired &&
                      !desktop.form.ended() && desktop.dialogs.shown.empty() &&
                      desktop.processes.started.empty() &&
                      desktop.windows.findByTitle("Ironveil") != 0 &&
                      desktop.windows.topLevelWindows().size() >= static_cast<size_t>(others) + 1;
    if (!idle) {
        std::fprintf(stderr, "bench_tick: the ticks did not run idle (reads %d of %ld)\n",
                     desktop.keyboard.reads - readsBefore, ticks);
        return 1;
    }
    return 0;
}
