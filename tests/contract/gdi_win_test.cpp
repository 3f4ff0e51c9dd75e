// The Win32 GDI layer's own fast read of 32-bit pictures into a 24-bit surface.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/gdi_win.h"
#include "platform/win32/handles_win.h"

namespace rk::win {
namespace {

GdiHandle handleOf(const void* h) {
    return static_cast<GdiHandle>(reinterpret_cast<std::uintptr_t>(h));
}

BitmapInfoHeader surfaceHeader(LONG width, LONG height, WORD bits) {
    BitmapInfoHeader h;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bits;
    return h;
}

// A screen-format picture, as Print Screen leaves one, reads into a 24-bit surface exactly as
// the system's own conversion gives it: sizes that end inside a band of rows and rows with
// padding among them.
TEST(Win32GdiReads, ScreenPictureGivesTheSystemsOwnConversion) {
    struct Size {
        LONG width, height;
    };
    for (const Size size : {Size{1, 1}, Size{37, 70}, Size{130, 129}, Size{640, 64}}) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
        ScreenDc screen;
        ASSERT_TRUE(screen);
        UniqueGdiBitmap picture(CreateCompatibleBitmap(screen.get(), size.width, size.height));
        ASSERT_TRUE(picture);
        BITMAP bm{};
        GetObjectW(picture.get(), sizeof bm, &bm);
        if (bm.bmBitsPixel != 32)
            GTEST_SKIP() << "the screen's pictures have " << bm.bmBitsPixel << " bits here";

        std::vector<std::uint32_t> pattern(static_cast<std::size_t>(size.width) * size.height);
        for (std::size_t i = 0; i < pattern.size(); ++i)
            pattern[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0x00FFFFFF;
        BITMAPINFO in{};
        in.bmiHeader = BITMAPINFOHEADER{
            sizeof(BITMAPINFOHEADER), size.width, size.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
        ASSERT_EQ(
            SetDIBits(dc.get(), picture.get(), 0, size.height, pattern.data(), &in, DIB_RGB_COLORS),
            size.height);

        const LONG stride = (size.width * 3 + 3) & ~3;
        std::vector<std::uint8_t> want(static_cast<std::size_t>(stride) * size.height);
        BITMAPINFO out{};
        out.bmiHeader = BITMAPINFOHEADER{
            sizeof(BITMAPINFOHEADER), size.width, size.height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        ASSERT_EQ(
            GetDIBits(dc.get(), picture.get(), 0, size.height, want.data(), &out, DIB_RGB_COLORS),
            size.height);

        std::vector<std::uint8_t> got(want.size(), 0);
        Win32Gdi gdi;
        // Rows are announced a band at a time from the top, each band complete when it is.
        std::vector<LONG> heard;
        ASSERT_TRUE(gdi.getBits(
            handleOf(dc.get()), handleOf(picture.get()), surfaceHeader(size.width, size.height, 24),
            got.data(), [&](std::int32_t rows) {
                heard.push_back(rows);
                for (LONG row = size.height - rows; row < size.height; ++row) {
                    const auto at = static_cast<std::ptrdiff_t>(row) * stride;
                    ASSERT_TRUE(std::equal(want.begin() + at, want.begin() + at + size.width * 3,
                                           got.begin() + at));
                }
            }));
        ASSERT_FALSE(heard.empty());
        EXPECT_EQ(heard.back(), size.height);
        for (std::size_t i = 0; i + 1 < heard.size(); ++i) EXPECT_EQ(heard[i], LONG(64 * (i + 1)));
        for (LONG row = 0; row < size.height; ++row) {
            const auto at = static_cast<std::ptrdiff_t>(row) * stride;
            ASSERT_TRUE(
                std::equal(want.begin() + at, want.begin() + at + size.width * 3, got.begin() + at))
                << "row " << row;
        }
    }
}

}  // namespace
}  // namespace rk::win
