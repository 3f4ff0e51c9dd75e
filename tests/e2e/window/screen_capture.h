// Pixels of the screen, for checking the colours the windows really show.
#pragma once

#include <windows.h>

#include <vector>

namespace rkprobe {

class ScreenCapture {
  public:
    // Copies the screen rectangle area (screen coordinates).
    explicit ScreenCapture(const RECT& area);

    bool valid() const { return !pixels_.empty(); }
    // COLORREF (0x00BBGGRR) at a point relative to the area's top left.
    COLORREF at(int x, int y) const;
    int width() const { return width_; }
    int height() const { return height_; }
    bool operator==(const ScreenCapture& other) const { return pixels_ == other.pixels_; }

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<COLORREF> pixels_;
};

// Whether two colours differ by at most tolerance in each channel.
bool closeTo(COLORREF a, COLORREF b, int tolerance);

}  // namespace rkprobe
