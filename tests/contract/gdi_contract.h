// What every Gdi must do for the screenshot surface. Instantiated with a harness type:
//
//   struct Harness {
//       Gdi& gdi();
//   };
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/gdi.h"

namespace rk::contract {

// A 24-bit uncompressed DIB header; a negative height is a top-down DIB.
inline BitmapInfoHeader dib24(std::int32_t width, std::int32_t height) {
    BitmapInfoHeader bi;
    bi.biSize = 40;
    bi.biWidth = width;
    bi.biHeight = height;
    bi.biPlanes = 1;
    bi.biBitCount = 24;
    const std::int32_t rows = height < 0 ? -height : height;
    bi.biSizeImage = static_cast<std::uint32_t>(((width * 3 + 3) & ~3) * rows);
    return bi;
}

inline std::int32_t strideOf(std::int32_t width) {
    return (width * 3 + 3) & ~3;
}

// A DIB section with a memory DC of its own that it is selected into, or only made.
struct Surface {
    GdiHandle dc = 0;
    GdiHandle bitmap = 0;
    GdiHandle old = 0;
    std::uint8_t* bits = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;  // rows, bottom-up

    std::size_t size() const { return static_cast<std::size_t>(strideOf(width)) * height; }
    // The bytes of pixel (x, y), y counted from the top.
    std::uint8_t* at(std::int32_t x, std::int32_t y) const {
        return bits + static_cast<std::size_t>(height - 1 - y) * strideOf(width) + x * 3;
    }
};

template <class Harness>
class GdiContract : public ::testing::Test {
  protected:
    Gdi& gdi() { return h.gdi(); }

    // A bottom-up 24-bit DIB section selected into a memory DC of its own, its pixels set from
    // a pattern that changes from byte to byte and row to row (all 0 for seed 0).
    Surface surface(std::int32_t width, std::int32_t height, std::uint8_t seed) {
        Surface s;
        s.width = width;
        s.height = height;
        s.dc = gdi().createCompatibleDc(0);
        EXPECT_NE(s.dc, 0u);
        s.bitmap = gdi().createDibSection(s.dc, dib24(width, height), s.bits);
        EXPECT_NE(s.bitmap, 0u);
        if (s.bitmap == 0 || s.bits == nullptr)
            return s;
        for (std::int32_t y = 0; y < height; ++y)
            for (std::int32_t x = 0; x < width * 3; ++x)
                s.at(0, y)[x] = seed == 0 ? 0 : static_cast<std::uint8_t>(seed + y * 61 + x * 7);
        s.old = gdi().selectObject(s.dc, s.bitmap);
        EXPECT_NE(s.old, 0u);
        made_.push_back(s);
        return s;
    }

    // The pixel bytes of a surface without the row padding, top row first.
    static std::vector<std::uint8_t> pixels(const Surface& s) {
        std::vector<std::uint8_t> out;
        for (std::int32_t y = 0; y < s.height; ++y)
            out.insert(out.end(), s.at(0, y), s.at(0, y) + s.width * 3);
        return out;
    }

    // The test cleans this surface up itself.
    void forget(const Surface& s) {
        std::erase_if(made_, [&](const Surface& m) { return m.bitmap == s.bitmap; });
    }

    void TearDown() override {
        for (const Surface& s : made_) {
            gdi().selectObject(s.dc, s.old);
            gdi().deleteObject(s.bitmap);
            gdi().deleteDc(s.dc);
        }
    }

    Harness h;

  private:
    std::vector<Surface> made_;
};

TYPED_TEST_SUITE_P(GdiContract);

TYPED_TEST_P(GdiContract, MemoryDcsAreMadeAndDeletedOnce) {
    const GdiHandle dc = this->gdi().createCompatibleDc(0);
    ASSERT_NE(dc, 0u);
    const GdiHandle compatible = this->gdi().createCompatibleDc(dc);
    ASSERT_NE(compatible, 0u);
    EXPECT_NE(compatible, dc);
    EXPECT_TRUE(this->gdi().deleteDc(compatible));
    EXPECT_TRUE(this->gdi().deleteDc(dc));
    EXPECT_FALSE(this->gdi().deleteDc(dc));
}

TYPED_TEST_P(GdiContract, DibSectionsHaveTheirSizeAndWritableBits) {
    const GdiHandle dc = this->gdi().createCompatibleDc(0);
    ASSERT_NE(dc, 0u);
    struct Case {
        std::int32_t width, height;
    };
    for (const Case c : {Case{5, 3}, Case{1, 1}, Case{4, 2}, Case{7, -3}}) {
        std::uint8_t* bits = nullptr;
        const GdiHandle dib = this->gdi().createDibSection(dc, dib24(c.width, c.height), bits);
        ASSERT_NE(dib, 0u) << c.width << "x" << c.height;
        ASSERT_NE(bits, nullptr);
        const std::int32_t rows = c.height < 0 ? -c.height : c.height;
        std::memset(bits, 0xA5, static_cast<std::size_t>(strideOf(c.width)) * rows);
        const PixelSize size = this->gdi().bitmapSize(dib);
        EXPECT_EQ(size.width, c.width);
        EXPECT_EQ(size.height, rows);
        EXPECT_TRUE(this->gdi().deleteObject(dib));
    }
    EXPECT_TRUE(this->gdi().deleteDc(dc));
}

TYPED_TEST_P(GdiContract, EmptyOrNegativeSizesAreRefused) {
    const GdiHandle dc = this->gdi().createCompatibleDc(0);
    ASSERT_NE(dc, 0u);
    struct Case {
        std::int32_t width, height;
    };
    for (const Case c : {Case{0, 3}, Case{3, 0}, Case{0, 0}, Case{-3, 3}}) {
        std::uint8_t dummy = 0;
        std::uint8_t* bits = &dummy;
        EXPECT_EQ(this->gdi().createDibSection(dc, dib24(c.width, c.height), bits), 0u)
            << c.width << "x" << c.height;
        EXPECT_EQ(bits, nullptr) << c.width << "x" << c.height;
    }
    EXPECT_TRUE(this->gdi().deleteDc(dc));
}

TYPED_TEST_P(GdiContract, SelectObjectHandsBackThePreviousObject) {
    const GdiHandle dc = this->gdi().createCompatibleDc(0);
    const GdiHandle other = this->gdi().createCompatibleDc(0);
    ASSERT_NE(dc, 0u);
    ASSERT_NE(other, 0u);
    std::uint8_t* bits = nullptr;
    const GdiHandle a = this->gdi().createDibSection(dc, dib24(4, 4), bits);
    const GdiHandle b = this->gdi().createDibSection(dc, dib24(2, 2), bits);
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);

    const GdiHandle stock = this->gdi().selectObject(dc, a);
    ASSERT_NE(stock, 0u);
    EXPECT_NE(stock, a);
    EXPECT_EQ(this->gdi().selectObject(dc, b), a);
    // A bitmap sits in one DC at a time.
    EXPECT_EQ(this->gdi().selectObject(other, b), 0u);
    EXPECT_EQ(this->gdi().selectObject(dc, stock), b);
    // Free again, so the other DC may take it.
    const GdiHandle otherStock = this->gdi().selectObject(other, b);
    EXPECT_NE(otherStock, 0u);
    EXPECT_EQ(this->gdi().selectObject(other, otherStock), b);

    EXPECT_TRUE(this->gdi().deleteObject(a));
    EXPECT_TRUE(this->gdi().deleteObject(b));
    EXPECT_TRUE(this->gdi().deleteDc(other));
    EXPECT_TRUE(this->gdi().deleteDc(dc));
}

TYPED_TEST_P(GdiContract, ASelectedBitmapIsNotDeletedUnderneath) {
    // Windows refuses to delete it (false); Wine answers true and deletes it only once it leaves
    // the DC. Either way it stays whole while selected and is gone for good in the end.
    Surface s = this->surface(6, 4, 0x31);
    ASSERT_NE(s.bits, nullptr);
    this->forget(s);
    const std::vector<std::uint8_t> before = TestFixture::pixels(s);
    const bool deletedAtOnce = this->gdi().deleteObject(s.bitmap);

    const PixelSize size = this->gdi().bitmapSize(s.bitmap);
    EXPECT_EQ(size.width, 6);
    EXPECT_EQ(size.height, 4);
    const Surface copy = this->surface(6, 4, 0);
    ASSERT_TRUE(this->gdi().bitBlt(copy.dc, 0, 0, 6, 4, s.dc, 0, 0, rop::kSrcCopy));
    EXPECT_EQ(TestFixture::pixels(copy), before);

    EXPECT_EQ(this->gdi().selectObject(s.dc, s.old), s.bitmap);
    if (!deletedAtOnce) {
        EXPECT_TRUE(this->gdi().deleteObject(s.bitmap));
    }
    EXPECT_EQ(this->gdi().bitmapSize(s.bitmap).width, 0);
    EXPECT_TRUE(this->gdi().deleteDc(s.dc));
}

TYPED_TEST_P(GdiContract, BitBltCopiesPixelsBetweenDibSections) {
    const Surface from = this->surface(5, 4, 0x10);
    const Surface to = this->surface(5, 4, 0);
    ASSERT_NE(from.bits, nullptr);
    ASSERT_NE(to.bits, nullptr);

    ASSERT_TRUE(this->gdi().bitBlt(to.dc, 0, 0, 5, 4, from.dc, 0, 0, rop::kSrcCopy));
    EXPECT_EQ(TestFixture::pixels(to), TestFixture::pixels(from));

    // A part, to another place: 2x2 from (1, 1) lands at (3, 0); nothing else changes.
    const Surface part = this->surface(5, 4, 0);
    ASSERT_TRUE(this->gdi().bitBlt(part.dc, 3, 0, 2, 2, from.dc, 1, 1, rop::kSrcCopy));
    for (std::int32_t y = 0; y < 4; ++y) {
        for (std::int32_t x = 0; x < 5; ++x) {
            const bool inside = x >= 3 && y < 2;
            const std::vector<std::uint8_t> got(part.at(x, y), part.at(x, y) + 3);
            const std::vector<std::uint8_t> want =
                inside ? std::vector<std::uint8_t>(from.at(x - 2, y + 1), from.at(x - 2, y + 1) + 3)
                       : std::vector<std::uint8_t>(3, 0);
            EXPECT_EQ(got, want) << "pixel " << x << "," << y;
        }
    }
}

TYPED_TEST_P(GdiContract, GetBitsReadsPixelsInTheHeadersLayout) {
    Surface s = this->surface(5, 3, 0x40);
    ASSERT_NE(s.bits, nullptr);
    const std::vector<std::uint8_t> want = TestFixture::pixels(s);
    // Taken out of its DC first: a bitmap is read while it sits in none.
    ASSERT_EQ(this->gdi().selectObject(s.dc, s.old), s.bitmap);
    const GdiHandle reader = this->gdi().createCompatibleDc(0);
    ASSERT_NE(reader, 0u);
    const std::size_t stride = static_cast<std::size_t>(strideOf(5));

    std::vector<std::uint8_t> bottomUp(stride * 3, 0xEE);
    ASSERT_TRUE(this->gdi().getBits(reader, s.bitmap, dib24(5, 3), bottomUp.data()));
    std::vector<std::uint8_t> topDown(stride * 3, 0xEE);
    ASSERT_TRUE(this->gdi().getBits(reader, s.bitmap, dib24(5, -3), topDown.data()));
    for (std::size_t y = 0; y < 3; ++y) {
        const auto row = want.begin() + static_cast<std::ptrdiff_t>(y * 15);
        EXPECT_TRUE(std::equal(row, row + 15, bottomUp.begin() + (2 - y) * stride)) << y;
        EXPECT_TRUE(std::equal(row, row + 15, topDown.begin() + y * stride)) << y;
    }
    EXPECT_TRUE(this->gdi().deleteDc(reader));
    this->gdi().selectObject(s.dc, s.bitmap);  // back, for the clean-up
}

TYPED_TEST_P(GdiContract, GetBitsOfASelectedBitmapFailsOrReadsItWhole) {
    // GetDIBits asks for a bitmap in no DC; Windows may refuse one that is selected, Wine reads
    // it. Neither may report a read that did not give the bitmap's pixels.
    Surface s = this->surface(5, 3, 0x40);
    ASSERT_NE(s.bits, nullptr);
    const GdiHandle reader = this->gdi().createCompatibleDc(0);
    ASSERT_NE(reader, 0u);
    std::vector<std::uint8_t> got(s.size(), 0);
    if (this->gdi().getBits(reader, s.bitmap, dib24(5, 3), got.data())) {
        EXPECT_TRUE(std::equal(got.begin(), got.end(), s.bits));
    }
    EXPECT_TRUE(this->gdi().deleteDc(reader));
}

TYPED_TEST_P(GdiContract, OnlyBitmapsHaveASize) {
    const GdiHandle dc = this->gdi().createCompatibleDc(0);
    ASSERT_NE(dc, 0u);
    for (const GdiHandle notABitmap : {GdiHandle{0}, dc}) {
        const PixelSize size = this->gdi().bitmapSize(notABitmap);
        EXPECT_EQ(size.width, 0);
        EXPECT_EQ(size.height, 0);
    }
    std::uint8_t* bits = nullptr;
    const GdiHandle dib = this->gdi().createDibSection(dc, dib24(3, 2), bits);
    ASSERT_NE(dib, 0u);
    EXPECT_TRUE(this->gdi().deleteObject(dib));
    const PixelSize gone = this->gdi().bitmapSize(dib);
    EXPECT_EQ(gone.width, 0);
    EXPECT_EQ(gone.height, 0);
    EXPECT_TRUE(this->gdi().deleteDc(dc));
}

REGISTER_TYPED_TEST_SUITE_P(GdiContract, MemoryDcsAreMadeAndDeletedOnce,
                            DibSectionsHaveTheirSizeAndWritableBits, EmptyOrNegativeSizesAreRefused,
                            SelectObjectHandsBackThePreviousObject,
                            ASelectedBitmapIsNotDeletedUnderneath,
                            BitBltCopiesPixelsBetweenDibSections,
                            GetBitsReadsPixelsInTheHeadersLayout,
                            GetBitsOfASelectedBitmapFailsOrReadsItWhole, OnlyBitmapsHaveASize);

}  // namespace rk::contract
