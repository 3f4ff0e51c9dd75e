// Implements: ScreenCapture (GetDC(nullptr) and BitBlt into a 32-bit DIB), near.
#include "screen_capture.h"

#include <cstdlib>
#include <cstring>

namespace rkprobe {

ScreenCapture::ScreenCapture(const RECT& area)
    : width_(area.right - area.left), height_(area.bottom - area.top) {
    if (width_ <= 0 || height_ <= 0)
        return;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, width_, height_, screen, area.left, area.top, SRCCOPY)) {
            GdiFlush();
            const auto* bgra = static_cast<const unsigned char*>(bits);
            pixels_.resize(static_cast<std::size_t>(width_) * height_);
            for (std::size_t i = 0; i < pixels_.size(); ++i) {
                pixels_[i] = RGB(bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]);
            }
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

COLORREF ScreenCapture::at(int x, int y) const {
    return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

bool closeTo(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

}  // namespace rkprobe
