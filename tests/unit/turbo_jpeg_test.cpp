#include "capture/turbo_jpeg.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "capture_test_images.h"
#include "fake_gdi.h"

namespace rk {
namespace {

// Grainy, as a game's floor is: every Huffman code gets used.
FakeImage grain(std::int32_t w, std::int32_t h, std::uint32_t seed = 7) {
    FakeImage img{w, h, {}};
    for (std::int32_t i = 0; i < w * h; ++i) {
        seed = seed * 1664525u + 1013904223u;
        img.pixels.push_back((seed >> 8) & 0xFFFFFF);
    }
    return img;
}

struct Encode {
    explicit Encode(const FakeImage& image, std::int32_t quality)
        : surface(testimg::surfaceOf(gdi, image)) {
        EXPECT_EQ(library.init(props), 0);
        SetSurfaceFields(props, surface, quality);
        props.JPGSink = [this](std::span<const std::uint8_t> b) {
            ++pieces;
            out.insert(out.end(), b.begin(), b.end());
            return pieces < refuseAfter;
        };
    }
    ~Encode() { library.free(props); }

    // The same rows through tjCompress2 asked for a restart marker after every row of blocks.
    std::vector<std::uint8_t> reference() const {
        setenv("TJ_RESTART", "1", 1);
        tjhandle tj = tjInitCompress();
        unsigned char* buf = nullptr;
        unsigned long size = 0;
        const int q = std::clamp(props.jquality, 1, 100);
        EXPECT_EQ(tjCompress2(tj, surface.DIBSectionBitsPtr(), surface.Width(),
                              surface.BytesPerScanLine(), surface.Height(), TJPF_BGR, &buf, &size,
                              TJSAMP_420, q, TJFLAG_BOTTOMUP),
                  0);
        std::vector<std::uint8_t> bytes(buf, buf + size);
        tjFree(buf);
        tjDestroy(tj);
        unsetenv("TJ_RESTART");
        return bytes;
    }

    FakeGdi gdi;
    cDIBSection surface;
    TurboJpegLibrary library;
    JpegCoreProperties props;
    std::vector<std::uint8_t> out;
    int pieces = 0;
    int refuseAfter = 1 << 30;
};

TEST(TurboJpeg, FilesAreByteForByteTjCompress2s) {
    struct Row {
        std::int32_t w, h, quality;
    };
    // Odd sizes leave partial blocks and row padding; 96 is where the exact DCT starts.
    const Row table[] = {{1, 1, 75},   {5, 3, 1},     {17, 9, 50},   {33, 20, 95},
                         {33, 20, 96}, {64, 48, 100}, {130, 70, 75}, {7, 40, 250}};
    for (const Row& row : table) {
        SCOPED_TRACE(std::to_string(row.w) + "x" + std::to_string(row.h) + " q" +
                     std::to_string(row.quality));
        Encode e(grain(row.w, row.h), row.quality);
        ASSERT_EQ(e.library.write(e.props), 0);
        EXPECT_EQ(e.out, e.reference());
    }
}

// Two bands encoded apart, the top one first in the file, make the file one encode makes.
TEST(TurboJpeg, BandsEncodedApartJoinIntoTheWholeFile) {
    struct Row {
        std::int32_t w, h, split, quality;
    };
    // More than eight restart intervals above the joint make the marker numbers wrap.
    const Row table[] = {{8, 32, 16, 75},  {9, 33, 16, 90},     {40, 47, 32, 50},
                         {5, 160, 144, 1}, {64, 300, 160, 100}, {256, 256, 128, 100}};
    for (const Row& row : table) {
        SCOPED_TRACE(std::to_string(row.w) + "x" + std::to_string(row.h) + " at " +
                     std::to_string(row.split));
        Encode whole(grain(row.w, row.h), row.quality);
        ASSERT_EQ(whole.library.write(whole.props), 0);

        Encode head(grain(row.w, row.h), row.quality), tail(grain(row.w, row.h), row.quality);
        head.props.DIBRowCount = row.split;
        tail.props.DIBFirstRow = row.split;
        ASSERT_EQ(head.library.write(head.props), 0);
        ASSERT_EQ(tail.library.write(tail.props), 0);
        std::vector<std::uint8_t> joined = head.out;
        joined.insert(joined.end(), tail.out.begin(), tail.out.end());
        EXPECT_EQ(joined, whole.out);
        const auto decoded = testimg::decodeJpeg(joined);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->height, row.h);
    }
}

TEST(TurboJpeg, BandsThatDoNotMeetOnARowOfBlocksAreRefused) {
    Encode e(grain(8, 64), 75);
    e.props.DIBRowCount = 20;
    EXPECT_NE(e.library.write(e.props), 0);
    e.props.DIBRowCount = 16;  // a band in the middle has no place in the file
    e.props.DIBFirstRow = 16;
    EXPECT_NE(e.library.write(e.props), 0);
    e.props.DIBRowCount = 0;
    e.props.DIBFirstRow = 70;
    EXPECT_NE(e.library.write(e.props), 0);
    EXPECT_TRUE(e.out.empty());
}

TEST(TurboJpeg, LargeFilesComeInPieces) {
    Encode e(grain(256, 256), 100);
    ASSERT_EQ(e.library.write(e.props), 0);
    EXPECT_GT(e.pieces, 1);
    EXPECT_EQ(e.out, e.reference());
}

TEST(TurboJpeg, RowsAreReadOnlyOnceInPlace) {
    const std::int32_t height = 100;
    Encode e(grain(40, height), 90);
    // The rows arrive while the encoder runs; until then they hold another picture, so a row
    // read before it is in place spoils the file.
    const std::size_t pitch = static_cast<std::size_t>(e.surface.BytesPerScanLine());
    std::uint8_t* bits = e.surface.DIBSectionBitsPtr();
    const std::vector<std::uint8_t> picture(bits, bits + pitch * height);
    Encode other(grain(40, height, 99), 90);
    std::copy_n(other.surface.DIBSectionBitsPtr(), picture.size(), bits);
    auto putInPlace = [&](std::int32_t top) {
        const std::size_t at = e.props.DIBHeight < 0 ? height - 1 - top : top;
        std::copy_n(picture.begin() + at * pitch, pitch, bits + at * pitch);
    };

    RowGate gate;
    e.props.DIBRowsReady = &gate;
    int result = -1;
    std::thread encoder([&] { result = e.library.write(e.props); });
    // A little at a time, with pauses that let an encoder that does not wait run ahead.
    std::int32_t rows = 0;
    while (rows < height) {
        const std::int32_t next = std::min(rows + 7, height);
        for (; rows < next; ++rows) putInPlace(rows);
        gate.release(rows);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    encoder.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(e.out, e.reference());
}

TEST(TurboJpeg, RowsThatNeverComeStopTheEncode) {
    Encode e(grain(40, 100), 90);
    RowGate gate;
    e.props.DIBRowsReady = &gate;
    gate.release(50);
    int result = 0;
    std::thread encoder([&] { result = e.library.write(e.props); });
    gate.close();
    encoder.join();
    EXPECT_NE(result, 0);
}

TEST(TurboJpeg, SinkThatWantsNoMoreStopsTheEncode) {
    Encode e(grain(256, 256), 100);
    e.refuseAfter = 1;
    EXPECT_NE(e.library.write(e.props), 0);
    EXPECT_EQ(e.pieces, 1);
}

TEST(TurboJpeg, RecordThatDoesNotDescribeAPictureIsRefused) {
    Encode e(grain(8, 8), 75);
    JpegCoreProperties good = e.props;
    auto refused = [&](auto spoil) {
        e.props = good;
        spoil(e.props);
        return e.library.write(e.props) != 0;
    };
    EXPECT_TRUE(refused([](JpegCoreProperties& p) { p.JPGSink = nullptr; }));
    EXPECT_TRUE(refused([](JpegCoreProperties& p) { p.DIBBytes = nullptr; }));
    EXPECT_TRUE(refused([](JpegCoreProperties& p) { p.DIBPadBytes = -1; }));
    EXPECT_TRUE(refused([](JpegCoreProperties& p) { p.JPGWidth = 9; }));
    EXPECT_TRUE(refused([](JpegCoreProperties& p) { p.DIBWidth = p.JPGWidth = 70000; }));
    EXPECT_TRUE(e.out.empty());
    e.props = good;
}

}  // namespace
}  // namespace rk
