// Gdi on gdi32: memory DCs, DIB sections, BitBlt and the screen DC.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi.h"

namespace rk::win {

class Win32Gdi final : public Gdi {
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
    bool getBits(GdiHandle dc, GdiHandle bitmap, const BitmapInfoHeader& header,
                 std::uint8_t* bits, const RowsReady& ready = {}) override;
    PixelSize bitmapSize(GdiHandle bitmap) override;
    GdiHandle screenDc() override;
    void releaseScreenDc(GdiHandle dc) override;
    ScreenArea screenArea() override;

  private:
    bool packedRead(GdiHandle dc, GdiHandle bitmap, const BitmapInfoHeader& header,
                    std::uint8_t* bits, const RowsReady& ready);

    std::vector<std::uint8_t> band_;  // 32-bit rows on their way into a 24-bit surface
};

}  // namespace rk::win
