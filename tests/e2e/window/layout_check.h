// Compares a live window of raidkit.exe with its design table converted at the window's DPI.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "live_window.h"

namespace rkprobe {

struct CheckOptions {
    unsigned expectedDpi = 0;  // 0: whatever the window runs at
    // Texts of text boxes and states of check box and option buttons as designed (a first run);
    // otherwise they are the player's and are not compared.
    bool designValues = true;
    std::set<std::string, std::less<>> disabled;  // controls expected disabled
};

struct CheckResult {
    unsigned dpi = 0;
    int controls = 0;      // controls compared one by one
    int overlaps = 0;      // overlapping pairs whose stacking was compared
    int tabStops = 0;      // stops walked with Tab
    int colourChecks = 0;  // controls and background points whose colours were compared
    std::vector<std::string> mismatches;
};

CheckResult checkWindow(Which which, const CheckOptions& options);

}  // namespace rkprobe
