// The known pictures of the capture check, shared by the program that puts them on the
// clipboard and the one that checks the files: smooth, so that JPEG keeps them close.
#pragma once

#include <cstdint>
#include <vector>

namespace rk::e2e {

// A ramp shifted by the seed that turns back at the ends instead of wrapping: no hard edges.
inline std::uint32_t ramp(int value) {
    value %= 510;
    return static_cast<std::uint32_t>(value > 255 ? 510 - value : value);
}

// 0x00RRGGBB of pattern number seed at x, y.
inline std::uint32_t patternPixel(int seed, int x, int y, int w, int h) {
    return ramp(x * 255 / (w - 1) + seed * 40) << 16 | ramp(y * 255 / (h - 1) + seed * 90) << 8 |
           ramp((x + y) * 255 / (w + h - 2) + seed * 20);
}

// Top row first.
inline std::vector<std::uint32_t> pattern(int seed, int w, int h) {
    std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            px[static_cast<std::size_t>(y) * w + x] = patternPixel(seed, x, y, w, h);
    return px;
}

}  // namespace rk::e2e
