// GDI as state: device contexts with the bitmap selected into each, bitmaps with their pixels,
// and the screen. Enforces the rules real GDI has: a bitmap sits in one DC at a time and is not
// deleted while selected; screen DCs are released, not deleted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <map>
#include <memory>
#include <vector>

#include "fault_plan.h"
#include "platform/gdi.h"

namespace rk {

// Pixels as 0x00RRGGBB, top row first.
struct FakeImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t at(std::int32_t x, std::int32_t y) const { return pixels[y * width + x]; }
    bool operator==(const FakeImage&) const = default;
};

class FakeGdi : public Gdi, public Faultable {
  public:
    GdiHandle createCompatibleDc(GdiHandle reference) override;
    bool deleteDc(GdiHandle dc) override;
    GdiHandle createDibSection(GdiHandle dc, const BitmapInfoHeader& header,
                               std::uint8_t*& bits) override;
    GdiHandle selectObject(GdiHandle dc, GdiHandle object) override;
    bool deleteObject(GdiHandle object) override;
    bool bitBlt(GdiHandle dest, std::int32_t destX, std::int32_t destY, std::int32_t width,
                std::int32_t height, GdiHandle source, std::int32_t srcX, std::int32_t srcY,
                std::uint32_t rop) override;
    // Rows are copied and announced in bands of readBand, as the Windows half reads them. A read
    // that fails does so once its first band is announced.
    bool getBits(GdiHandle dc, GdiHandle bitmap, const BitmapInfoHeader& header, std::uint8_t* bits,
                 const RowsReady& ready = {}) override;
    PixelSize bitmapSize(GdiHandle bitmap) override;
    GdiHandle screenDc() override;
    void releaseScreenDc(GdiHandle dc) override;
    ScreenArea screenArea() override {
        return {screenLeft, screenTop, screen.width, screen.height};
    }

    // A device-dependent bitmap, like the one Print Screen puts on the clipboard.
    GdiHandle makeBitmap(const FakeImage& image);
    // The pixels of a bitmap or DIB section.
    FakeImage pixelsOf(GdiHandle bitmap) const;
    bool exists(GdiHandle object) const {
        return dcs_.contains(object) || bitmaps_.contains(object);
    }
    // Memory DCs and bitmaps that exist (stock objects and screen DCs not counted).
    std::size_t liveObjects() const;
    std::size_t screenDcsOut() const;
    // The bitmap selected into a DC (the stock bitmap for a fresh memory DC).
    GdiHandle selectedIn(GdiHandle dc) const;

    // The default bitmap of every new memory DC.
    static constexpr GdiHandle kStockBitmap = 1;

    FakeImage screen;  // what the screen shows
    std::int32_t screenLeft = 0;
    std::int32_t screenTop = 0;
    // Bytes left for DIB sections: beyond them creation fails, as for lack of memory.
    std::size_t memoryLeft = std::numeric_limits<std::size_t>::max();
    // GDI objects the process may still make (Windows' per-process quota).
    std::size_t handlesLeft = 10000;
    std::int32_t readBand = 16;  // rows per announcement from getBits

  private:
    // Memory that comes zeroed and is only touched as it is written, as Windows gives it to a
    // DIB section (calloc's large blocks are fresh pages).
    struct ZeroedBytes {
        std::unique_ptr<std::uint8_t, decltype(&std::free)> bytes{nullptr, &std::free};
        std::size_t count = 0;
        bool allocate(std::size_t size) {
            bytes.reset(static_cast<std::uint8_t*>(std::calloc(size ? size : 1, 1)));
            count = size;
            return bytes != nullptr;
        }
        std::uint8_t* data() const { return bytes.get(); }
        std::size_t size() const { return count; }
    };
    struct Dc {
        bool screen = false;
        GdiHandle selected = kStockBitmap;
    };
    struct Bitmap {
        std::int32_t width = 0;
        std::int32_t height = 0;  // as asked: negative for a top-down DIB
        bool dib = false;
        std::int32_t stride = 0;
        std::vector<std::uint32_t> ddb;  // device-dependent: 0x00RRGGBB, top row first
        ZeroedBytes bits;                // DIB section: BGR rows as the header says
        GdiHandle selectedInto = 0;

        std::int32_t rows() const { return height < 0 ? -height : height; }
        std::uint32_t get(std::int32_t x, std::int32_t y) const;
        void set(std::int32_t x, std::int32_t y, std::uint32_t rgb);
    };
    GdiHandle newHandle() { return next_++; }

    std::map<GdiHandle, Dc> dcs_;
    std::map<GdiHandle, Bitmap> bitmaps_;
    GdiHandle next_ = 0x1000;
};

}  // namespace rk
