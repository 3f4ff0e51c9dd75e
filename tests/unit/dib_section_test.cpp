#include "capture/dib_section.h"

#include <gtest/gtest.h>

#include "capture_test_images.h"
#include "fake_clipboard.h"
#include "fake_gdi.h"
#include "platform/error.h"
#include "raised.h"

namespace rk {
namespace {

using testimg::rgb;

// The BGR bytes of one pixel in a surface row (rows bottom-up in memory).
std::uint32_t pixelAt(const cDIBSection& s, std::int32_t x, std::int32_t memoryRow) {
    const std::uint8_t* p = s.DIBSectionBitsPtr() + memoryRow * s.BytesPerScanLine() + x * 3;
    return rgb(p[2], p[1], p[0]);
}

TEST(DibSection, BytesPerScanLinePadsRowsToFourBytes) {
    const std::pair<std::int32_t, std::int32_t> table[] = {
        {0, 0},       {1, 4},       {2, 8},       {3, 12},      {4, 12},       {5, 16},
        {1024, 3072}, {1280, 3840}, {1366, 4100}, {1920, 5760}, {3840, 11520},
    };
    for (auto [width, bytes] : table) EXPECT_EQ(BytesPerScanLineFor(width), bytes) << width;
}

TEST(DibSection, BytesPerScanLineOverflowRaises) {
    EXPECT_EQ(errorOf([] { BytesPerScanLineFor(715827883); }), err::kOverflow);  // x3 overflows
    EXPECT_EQ(errorOf([] { BytesPerScanLineFor(715827882); }), err::kOverflow);  // +3 overflows
    EXPECT_EQ(BytesPerScanLineFor(715827881), 2147483644);
}

TEST(DibSection, HeaderDescribesBottomUp24BitPixels) {
    BitmapInfoHeader expected;
    expected.biSize = 40;
    expected.biWidth = 1024;
    expected.biHeight = 768;
    expected.biPlanes = 1;
    expected.biBitCount = 24;
    expected.biSizeImage = 2'359'296;
    EXPECT_EQ(Dib24Header(1024, 768), expected);
    EXPECT_EQ(Dib24Header(1366, 768).biSizeImage, 4100u * 768u);
}

TEST(DibSection, ImageSizeOverflowRaisesAndLeavesNothingBehind) {
    FakeGdi gdi;
    cDIBSection s(gdi);
    EXPECT_EQ(errorOf([&] { s.Create(1366, 600000); }), err::kOverflow);
    EXPECT_EQ(gdi.liveObjects(), 0u);
    EXPECT_EQ(s.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(s.Width(), 1366);  // the size asked for stays in the header
}

TEST(DibSection, CreateAgainReleasesTheOldSurfaceFirst) {
    FakeGdi gdi;
    gdi.handlesLeft = 2;  // room for one DC and one section: the new ones fit only after
    cDIBSection s(gdi);
    ASSERT_TRUE(s.Create(4, 4));
    const GdiHandle oldDc = s.hdc(), oldDib = s.hDib();
    ASSERT_TRUE(s.Create(8, 2));
    EXPECT_FALSE(gdi.exists(oldDc));
    EXPECT_FALSE(gdi.exists(oldDib));
    EXPECT_EQ(gdi.liveObjects(), 2u);
    EXPECT_EQ(s.Width(), 8);
}

TEST(DibSection, ReleasesEverythingInOrderWhenItGoes) {
    FakeGdi gdi;
    {
        cDIBSection s(gdi);
        ASSERT_TRUE(s.Create(16, 16));
        s.ClearUp();
        EXPECT_EQ(gdi.liveObjects(), 0u);  // a section still selected could not be deleted
        ASSERT_TRUE(s.Create(16, 16));
    }
    EXPECT_EQ(gdi.liveObjects(), 0u);
}

TEST(DibSection, ClearUpOnEmptySurfaceKeepsTheLastSizeAskedFor) {
    FakeGdi gdi;
    cDIBSection s(gdi);
    EXPECT_FALSE(s.Create(0, 5));
    s.ClearUp();
    s.ClearUp();
    EXPECT_EQ(s.Width(), 0);
    EXPECT_EQ(s.Height(), 5);
    EXPECT_EQ(s.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(s.hdc(), 0u);
    EXPECT_EQ(s.hDib(), 0u);
    EXPECT_EQ(gdi.liveObjects(), 0u);
}

TEST(DibSection, LackOfMemoryLeavesItEmpty) {
    FakeGdi gdi;
    gdi.memoryLeft = 1000;
    cDIBSection s(gdi);
    EXPECT_FALSE(s.Create(100, 100));
    EXPECT_EQ(s.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(gdi.liveObjects(), 0u);
    gdi.handlesLeft = 0;
    EXPECT_FALSE(s.Create(1, 1));
}

TEST(DibSection, CopiedPictureHasItsBottomRowFirst) {
    FakeGdi gdi;
    FakeImage picture{3,
                      2,
                      {rgb(1, 2, 3), rgb(4, 5, 6), rgb(7, 8, 9),  // top row
                       rgb(10, 11, 12), rgb(13, 14, 15), rgb(16, 17, 18)}};
    const GdiHandle bitmap = gdi.makeBitmap(picture);
    cDIBSection s(gdi);
    s.CreateFromPicture(bitmap);
    ASSERT_NE(s.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(s.Width(), 3);
    EXPECT_EQ(s.Height(), 2);
    const std::uint8_t* bits = s.DIBSectionBitsPtr();
    const std::vector<std::uint8_t> bottomRow(bits, bits + 12);
    EXPECT_EQ(bottomRow, (std::vector<std::uint8_t>{12, 11, 10, 15, 14, 13, 18, 17, 16, 0, 0, 0}));
    EXPECT_EQ(pixelAt(s, 0, 1), rgb(1, 2, 3));
    // The picture is neither changed nor freed, and nothing temporary is left.
    EXPECT_EQ(gdi.pixelsOf(bitmap), picture);
    EXPECT_EQ(gdi.liveObjects(), 3u);
    EXPECT_EQ(gdi.screenDcsOut(), 0u);
}

TEST(DibSection, PictureWithoutABitmapGivesAnEmptySurface) {
    FakeGdi gdi;
    cDIBSection s(gdi);
    s.CreateFromPicture(0);
    EXPECT_EQ(s.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(s.Width(), 0);
    EXPECT_EQ(s.Height(), 0);
}

TEST(DibSection, PictureThatCannotBeCopiedInLeavesNoBlackSurface) {
    FakeGdi gdi;
    const GdiHandle bitmap = gdi.makeBitmap(testimg::flat(4, 4, rgb(200, 0, 0)));
    // Selected into a device context: GetDIBits refuses to read it.
    const GdiHandle other = gdi.createCompatibleDc(0);
    gdi.selectObject(other, bitmap);
    cDIBSection s(gdi);
    std::vector<std::int32_t> heard;
    s.CreateFromPicture(bitmap, [&](std::int32_t rows) { heard.push_back(rows); });
    EXPECT_EQ(s.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(gdi.liveObjects(), 2u);  // the picture and the other DC only
    // Whoever was reading along is told to let go before the surface goes.
    EXPECT_EQ(heard, std::vector<std::int32_t>{kRowsWithdrawn});
}

TEST(DibSection, RowsAreAnnouncedTopFirstOnceTheyAreInPlace) {
    FakeGdi gdi;
    gdi.readBand = 4;
    const FakeImage picture = testimg::gradient(5, 10);
    const GdiHandle bitmap = gdi.makeBitmap(picture);
    cDIBSection s(gdi);
    std::vector<std::int32_t> heard;
    s.CreateFromPicture(bitmap, [&](std::int32_t rows) {
        heard.push_back(rows);
        // The announced top rows hold the picture's top rows already.
        for (std::int32_t y = 0; y < rows; ++y)
            ASSERT_EQ(pixelAt(s, 2, s.Height() - 1 - y), picture.pixels[y * 5 + 2]) << y;
    });
    EXPECT_EQ(heard, (std::vector<std::int32_t>{4, 8, 10}));

    heard.clear();
    gdi.screen = picture;
    s.CreateFromScreen([&](std::int32_t rows) { heard.push_back(rows); });
    EXPECT_EQ(heard, std::vector<std::int32_t>{10});
}

TEST(DibSection, CreateFromScreenCopiesTheWholeVirtualScreen) {
    FakeGdi gdi;
    gdi.screen = testimg::gradient(6, 4);
    gdi.screenLeft = -6;  // a second monitor to the left of the main one
    cDIBSection s(gdi);
    s.CreateFromScreen();
    ASSERT_NE(s.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(s.Width(), 6);
    EXPECT_EQ(s.Height(), 4);
    for (std::int32_t y = 0; y < 4; ++y)
        for (std::int32_t x = 0; x < 6; ++x) EXPECT_EQ(pixelAt(s, x, 3 - y), gdi.screen.at(x, y));
    EXPECT_EQ(gdi.screenDcsOut(), 0u);
}

TEST(DibSection, LoadPictureBltTakesNegativeSizesAsTheSurfaces) {
    FakeGdi gdi;
    const GdiHandle bitmap = gdi.makeBitmap(testimg::gradient(8, 8));
    const GdiHandle dc = gdi.createCompatibleDc(0);
    gdi.selectObject(dc, bitmap);
    cDIBSection s(gdi);
    ASSERT_TRUE(s.Create(3, 2));
    s.LoadPictureBlt(dc, 2, 5, -1, -1, rop::kSrcCopy);
    EXPECT_EQ(pixelAt(s, 0, 1), gdi.pixelsOf(bitmap).at(2, 5));
    EXPECT_EQ(pixelAt(s, 2, 0), gdi.pixelsOf(bitmap).at(4, 6));
}

TEST(DibSection, PaintPictureCopiesOntoAnotherDc) {
    FakeGdi gdi;
    cDIBSection from(gdi), to(gdi);
    ASSERT_TRUE(from.Create(2, 2));
    ASSERT_TRUE(to.Create(4, 4));
    from.RandomiseBits(false);
    from.PaintPicture(to.hdc(), 1, 1);
    EXPECT_EQ(pixelAt(to, 1, 2), pixelAt(from, 0, 1));
    EXPECT_EQ(pixelAt(to, 2, 1), pixelAt(from, 1, 0));
    EXPECT_EQ(pixelAt(to, 0, 0), 0u);
}

TEST(DibSection, RandomiseBitsGreyGivesEqualChannelsAndLeavesPadding) {
    FakeGdi gdi;
    cDIBSection s(gdi);
    ASSERT_TRUE(s.Create(5, 50));
    s.RandomiseBits(true);
    int nonBlack = 0;
    for (std::int32_t y = 0; y < 50; ++y) {
        const std::uint8_t* row = s.DIBSectionBitsPtr() + y * 16;
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(row[x * 3], row[x * 3 + 1]);
            EXPECT_EQ(row[x * 3], row[x * 3 + 2]);
            nonBlack += row[x * 3] != 0;
        }
        EXPECT_EQ(row[15], 0);
    }
    EXPECT_GT(nonBlack, 200);
}

TEST(DibSection, ResampleCopiesOrInterpolates) {
    FakeGdi gdi;
    cDIBSection s(gdi);
    ASSERT_TRUE(s.Create(2, 1));
    std::uint8_t* p = s.DIBSectionBitsPtr();
    p[0] = p[1] = p[2] = 0;
    p[3] = p[4] = p[5] = 255;

    cDIBSection same = s.Resample(1, 2);
    ASSERT_NE(same.DIBSectionBitsPtr(), nullptr);
    EXPECT_NE(same.DIBSectionBitsPtr(), s.DIBSectionBitsPtr());
    EXPECT_EQ(pixelAt(same, 1, 0), rgb(255, 255, 255));

    cDIBSection wide = s.Resample(1, 4);
    ASSERT_EQ(wide.Width(), 4);
    EXPECT_EQ(pixelAt(wide, 0, 0), rgb(0, 0, 0));
    EXPECT_EQ(pixelAt(wide, 1, 0), rgb(64, 64, 64));
    EXPECT_EQ(pixelAt(wide, 2, 0), rgb(191, 191, 191));
    EXPECT_EQ(pixelAt(wide, 3, 0), rgb(255, 255, 255));
}

TEST(DibSection, CopyToClipboardPutsACopyThere) {
    FakeGdi gdi;
    FakeClipboard clipboard(gdi);
    const FakeImage picture = testimg::gradient(4, 3);
    cDIBSection s = testimg::surfaceOf(gdi, picture);
    const std::uint32_t before = clipboard.sequenceNumber();
    int boxes = 0;
    ShowBox show = [&](std::string_view, std::string_view, BoxIcon) { ++boxes; };

    EXPECT_FALSE(s.CopyToClipboard(clipboard, true, show));
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(clipboard.sequenceNumber(), before);

    EXPECT_TRUE(s.CopyToClipboard(clipboard, false, show));
    EXPECT_NE(clipboard.sequenceNumber(), before);
    EXPECT_EQ(gdi.pixelsOf(clipboard.bitmap()), picture);
}

TEST(DibSection, MovedSurfaceHasOneOwner) {
    FakeGdi gdi;
    cDIBSection a(gdi);
    ASSERT_TRUE(a.Create(2, 2));
    cDIBSection b(std::move(a));
    EXPECT_EQ(a.DIBSectionBitsPtr(), nullptr);
    EXPECT_NE(b.DIBSectionBitsPtr(), nullptr);
    cDIBSection c(gdi);
    ASSERT_TRUE(c.Create(1, 1));
    c = std::move(b);
    EXPECT_EQ(gdi.liveObjects(), 2u);
}

}  // namespace
}  // namespace rk
