// What every Clipboard must do. Instantiated with a harness type:
//
//   struct Harness {
//       Clipboard& clipboard();
//       Gdi& gdi();     // the GDI the clipboard's bitmaps live in
//       void empty();   // empties the clipboard the way another program would
//       void handleNotices();  // what the program's message loop does between two ticks
//   };
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "gdi_contract.h"
#include "platform/clipboard.h"

namespace rk::contract {

template <class Harness>
class ClipboardContract : public ::testing::Test {
  protected:
    Clipboard& clipboard() { return h.clipboard(); }
    Gdi& gdi() { return h.gdi(); }

    // A memory DC showing a 24-bit DIB section whose pixels change from byte to byte.
    void makeSource(std::int32_t width, std::int32_t height) {
        source_.width = width;
        source_.height = height;
        source_.dc = gdi().createCompatibleDc(0);
        ASSERT_NE(source_.dc, 0u);
        source_.bitmap = gdi().createDibSection(source_.dc, dib24(width, height), source_.bits);
        ASSERT_NE(source_.bitmap, 0u);
        ASSERT_NE(source_.bits, nullptr);
        for (std::int32_t y = 0; y < height; ++y)
            for (std::int32_t x = 0; x < width * 3; ++x)
                source_.at(0, y)[x] = static_cast<std::uint8_t>(0x21 + y * 53 + x * 11);
        source_.old = gdi().selectObject(source_.dc, source_.bitmap);
        ASSERT_NE(source_.old, 0u);
    }

    // The top-left width x height of the source, rows top first, no padding.
    std::vector<std::uint8_t> sourcePixels(std::int32_t width, std::int32_t height) const {
        std::vector<std::uint8_t> out;
        for (std::int32_t y = 0; y < height; ++y)
            out.insert(out.end(), source_.at(0, y), source_.at(0, y) + width * 3);
        return out;
    }

    // The pixels of a bitmap the clipboard lends, read as 24-bit rows, top first.
    std::vector<std::uint8_t> pixelsOf(GdiHandle bitmap) {
        const PixelSize size = gdi().bitmapSize(bitmap);
        const GdiHandle reader = gdi().createCompatibleDc(0);
        std::vector<std::uint8_t> bits(static_cast<std::size_t>(strideOf(size.width)) *
                                       size.height);
        const bool read =
            gdi().getBits(reader, bitmap, dib24(size.width, -size.height), bits.data());
        gdi().deleteDc(reader);
        EXPECT_TRUE(read);
        std::vector<std::uint8_t> out;
        for (std::int32_t y = 0; y < size.height; ++y) {
            const auto row = bits.begin() + static_cast<std::ptrdiff_t>(y) * strideOf(size.width);
            out.insert(out.end(), row, row + size.width * 3);
        }
        return out;
    }

    void TearDown() override {
        if (source_.dc != 0) {
            gdi().selectObject(source_.dc, source_.old);
            gdi().deleteObject(source_.bitmap);
            gdi().deleteDc(source_.dc);
        }
    }

    Surface source_;
    Harness h;
};

TYPED_TEST_SUITE_P(ClipboardContract);

TYPED_TEST_P(ClipboardContract, PuttingACopyChangesTheSequenceAndOffersABitmap) {
    ASSERT_NO_FATAL_FAILURE(this->makeSource(8, 6));
    this->h.empty();
    EXPECT_FALSE(this->clipboard().hasBitmap());
    const std::uint32_t before = this->clipboard().sequenceNumber();
    ASSERT_TRUE(this->clipboard().putCopyOf(this->source_.dc, 8, 6));
    const std::uint32_t first = this->clipboard().sequenceNumber();
    EXPECT_NE(first, before);
    EXPECT_TRUE(this->clipboard().hasBitmap());
    // Every new copy is news, even of the same picture.
    ASSERT_TRUE(this->clipboard().putCopyOf(this->source_.dc, 8, 6));
    EXPECT_NE(this->clipboard().sequenceNumber(), first);
    EXPECT_TRUE(this->clipboard().hasBitmap());
}

TYPED_TEST_P(ClipboardContract, AnotherProgramsChangeShowsOnceItsNoticeIsHandled) {
    ASSERT_NO_FATAL_FAILURE(this->makeSource(4, 4));
    ASSERT_TRUE(this->clipboard().putCopyOf(this->source_.dc, 4, 4));
    const std::uint32_t before = this->clipboard().sequenceNumber();
    this->h.empty();
    this->h.handleNotices();
    EXPECT_NE(this->clipboard().sequenceNumber(), before);
    EXPECT_FALSE(this->clipboard().hasBitmap());
}

TYPED_TEST_P(ClipboardContract, UseBitmapLendsACopyOfTheTopLeftOfTheDc) {
    ASSERT_NO_FATAL_FAILURE(this->makeSource(9, 7));
    ASSERT_TRUE(this->clipboard().putCopyOf(this->source_.dc, 5, 3));
    const std::vector<std::uint8_t> want = this->sourcePixels(5, 3);
    // Later drawing in the source must not reach the copy.
    std::fill(this->source_.bits, this->source_.bits + this->source_.size(), std::uint8_t{0});

    int calls = 0;
    EXPECT_TRUE(this->clipboard().useBitmap([&](GdiHandle bitmap) {
        ++calls;
        const PixelSize size = this->gdi().bitmapSize(bitmap);
        EXPECT_EQ(size.width, 5);
        EXPECT_EQ(size.height, 3);
        EXPECT_EQ(this->pixelsOf(bitmap), want);
    }));
    EXPECT_EQ(calls, 1);
}

TYPED_TEST_P(ClipboardContract, WithoutABitmapUseBitmapCallsNothing) {
    ASSERT_NO_FATAL_FAILURE(this->makeSource(4, 4));
    ASSERT_TRUE(this->clipboard().putCopyOf(this->source_.dc, 4, 4));
    this->h.empty();
    EXPECT_FALSE(this->clipboard().hasBitmap());
    bool called = false;
    EXPECT_FALSE(this->clipboard().useBitmap([&](GdiHandle) { called = true; }));
    EXPECT_FALSE(called);
}

TYPED_TEST_P(ClipboardContract, ARefusedCopyChangesNothing) {
    ASSERT_NO_FATAL_FAILURE(this->makeSource(4, 4));
    ASSERT_TRUE(this->clipboard().putCopyOf(this->source_.dc, 4, 4));
    const std::uint32_t before = this->clipboard().sequenceNumber();
    struct Case {
        std::int32_t width, height;
    };
    for (const Case c : {Case{0, 4}, Case{4, 0}, Case{-1, 4}}) {
        EXPECT_FALSE(this->clipboard().putCopyOf(this->source_.dc, c.width, c.height))
            << c.width << "x" << c.height;
    }
    EXPECT_FALSE(this->clipboard().putCopyOf(0, 4, 4));  // no DC to copy from
    EXPECT_EQ(this->clipboard().sequenceNumber(), before);
    int calls = 0;
    EXPECT_TRUE(this->clipboard().useBitmap([&](GdiHandle bitmap) {
        ++calls;
        EXPECT_EQ(this->gdi().bitmapSize(bitmap).width, 4);
    }));
    EXPECT_EQ(calls, 1);
}

REGISTER_TYPED_TEST_SUITE_P(ClipboardContract, PuttingACopyChangesTheSequenceAndOffersABitmap,
                            AnotherProgramsChangeShowsOnceItsNoticeIsHandled,
                            UseBitmapLendsACopyOfTheTopLeftOfTheDc,
                            WithoutABitmapUseBitmapCallsNothing, ARefusedCopyChangesNothing);

}  // namespace rk::contract
