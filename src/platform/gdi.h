// GDI as the screenshot surface needs it: memory device contexts, 24-bit DIB sections, blits.
#pragma once

#include <cstdint>
#include <functional>

namespace rk {

// Opaque GDI handle: a device context or a bitmap; 0 means none.
using GdiHandle = std::uint64_t;

// BITMAPINFOHEADER, field for field (40 bytes in a file).
struct BitmapInfoHeader {
    std::uint32_t biSize = 0;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 0;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;

    bool operator==(const BitmapInfoHeader&) const = default;
};

struct PixelSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// The virtual screen in the screen device context's coordinates (left/top may be negative).
struct ScreenArea {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// Told, while a picture is being read, how many of its rows counted from the top are in place,
// so that work on them can begin before the rest arrive.
using RowsReady = std::function<void(std::int32_t rowsFromTop)>;

// Raster operations, as Windows numbers them.
namespace rop {
constexpr std::uint32_t kSrcCopy = 0x00CC0020;
// Also copies layered windows, as Windows' own Print Screen image shows them.
constexpr std::uint32_t kCaptureBlt = 0x40000000;
}  // namespace rop

class Gdi {
  public:
    virtual ~Gdi() = default;
    // A memory device context; reference 0 makes it compatible with the screen. 0 when refused.
    virtual GdiHandle createCompatibleDc(GdiHandle reference) = 0;
    virtual bool deleteDc(GdiHandle dc) = 0;
    // A DIB section as the header describes it; bits receives the address of its first pixel
    // byte. 0 (and bits null) when refused, e.g. for a zero size or lack of memory.
    virtual GdiHandle createDibSection(GdiHandle dc, const BitmapInfoHeader& header,
                                       std::uint8_t*& bits) = 0;
    // The object that was selected before; 0 when refused (a bitmap sits in one DC at a time).
    virtual GdiHandle selectObject(GdiHandle dc, GdiHandle object) = 0;
    // False when refused. A bitmap still selected into a device context is refused by Windows;
    // Wine accepts and deletes it once it leaves the DC. Either way it stays whole meanwhile.
    virtual bool deleteObject(GdiHandle object) = 0;
    virtual bool bitBlt(GdiHandle dest, std::int32_t destX, std::int32_t destY, std::int32_t width,
                        std::int32_t height, GdiHandle source, std::int32_t srcX, std::int32_t srcY,
                        std::uint32_t rop) = 0;
    // The bitmap's pixels converted into bits laid out as the header says (GetDIBits); dc only
    // lends its colour format. False unless every row was copied. A bitmap selected into a
    // device context may be refused (Windows) or read (Wine): read only bitmaps that are not.
    // ready, when given, hears of the rows as they are copied, top rows first.
    virtual bool getBits(GdiHandle dc, GdiHandle bitmap, const BitmapInfoHeader& header,
                         std::uint8_t* bits, const RowsReady& ready = {}) = 0;
    // The size of a bitmap (GetObject); 0 x 0 when the handle is not a bitmap.
    virtual PixelSize bitmapSize(GdiHandle bitmap) = 0;
    // The device context of the whole screen; 0 when refused. Give it back with releaseScreenDc.
    virtual GdiHandle screenDc() = 0;
    virtual void releaseScreenDc(GdiHandle dc) = 0;
    virtual ScreenArea screenArea() = 0;
};

}  // namespace rk
