// cDIBSection: a 24-bit bottom-up DIB section selected into its own memory device context, so
// that GDI can draw into it and its pixel rows can be read in place.
#pragma once

#include <cstdint>

#include "capture/show_box.h"
#include "platform/clipboard.h"
#include "platform/gdi.h"

namespace rk {

// Row length of a 24-bit DIB: width x 3 rounded up to a multiple of 4. Raises overflow (6).
std::int32_t BytesPerScanLineFor(std::int32_t width);

// The header CreateDIB fills: 24 bits, uncompressed, positive height (bottom-up rows).
// Raises overflow (6) when the image size does not fit 32 bits.
BitmapInfoHeader Dib24Header(std::int32_t width, std::int32_t height);

// Told to a surface's listener before rows it was told of go away.
constexpr std::int32_t kRowsWithdrawn = -1;

class cDIBSection {
  public:
    explicit cDIBSection(Gdi& gdi) : gdi_(&gdi) {}
    ~cDIBSection() { ClearUp(); }
    cDIBSection(const cDIBSection&) = delete;
    cDIBSection& operator=(const cDIBSection&) = delete;
    cDIBSection(cDIBSection&& other) noexcept;
    cDIBSection& operator=(cDIBSection&& other) noexcept;

    // With bAsDIB only says that this is not supported.
    bool CopyToClipboard(Clipboard& clipboard, bool bAsDIB, const ShowBox& show);
    // Fills the header and makes the section in lhDC's format; hDib receives it.
    bool CreateDIB(GdiHandle lhDC, std::int32_t lWidth, std::int32_t lHeight, GdiHandle& hDib);
    // The surface becomes a 24-bit copy of the bitmap, at its size. Reports nothing: whether a
    // surface exists afterwards shows in DIBSectionBitsPtr (empty when the bitmap could not be
    // read). A surface of that size already there is written over, not made anew. ready hears
    // of the rows as they arrive, top rows first; rows it was told of are final. When the read
    // fails part way it hears kRowsWithdrawn, and must stop using the rows before it returns.
    void CreateFromPicture(GdiHandle picThis, const RowsReady& ready = {});
    // The surface becomes a copy of the whole screen, where Windows' own image never came.
    // A surface of the screen's size already there is written over, not made anew.
    void CreateFromScreen(const RowsReady& ready = {});
    bool Create(std::int32_t lWidth, std::int32_t lHeight);
    std::int32_t BytesPerScanLine() const { return BytesPerScanLineFor(bi_.biWidth); }
    std::int32_t Width() const { return bi_.biWidth; }
    std::int32_t Height() const { return bi_.biHeight; }
    // Copies from lhDC into the surface's top-left corner; a negative size means the surface's.
    void LoadPictureBlt(GdiHandle lhDC, std::int32_t lSrcLeft = 0, std::int32_t lSrcTop = 0,
                        std::int32_t lSrcWidth = -1, std::int32_t lSrcHeight = -1,
                        std::uint32_t eRop = rop::kSrcCopy);
    // Copies the surface onto lhDC; a negative size means the surface's.
    void PaintPicture(GdiHandle lhDC, std::int32_t lDestLeft = 0, std::int32_t lDestTop = 0,
                      std::int32_t lDestWidth = -1, std::int32_t lDestHeight = -1,
                      std::int32_t lSrcLeft = 0, std::int32_t lSrcTop = 0,
                      std::uint32_t eRop = rop::kSrcCopy);
    GdiHandle hdc() const { return hDC_; }
    GdiHandle hDib() const { return hDib_; }
    // The first pixel byte (the bottom row's); null when there is no surface.
    std::uint8_t* DIBSectionBitsPtr() const { return bits_; }
    void RandomiseBits(bool bGray = false);
    void ClearUp();
    // A new surface of the new size: a plain copy when the size is unchanged, otherwise
    // resampled bilinearly. Empty when it cannot be made.
    cDIBSection Resample(std::int32_t lNewHeight, std::int32_t lNewWidth) const;

    // The header as last filled, for writing the surface as a bitmap file.
    const BitmapInfoHeader& header() const { return bi_; }

  private:
    bool holdsSize(std::int32_t lWidth, std::int32_t lHeight) const;
    bool blitIn(GdiHandle lhDC, std::int32_t lSrcLeft, std::int32_t lSrcTop, std::int32_t lSrcWidth,
                std::int32_t lSrcHeight, std::uint32_t eRop);
    void resampleInto(cDIBSection& target) const;

    Gdi* gdi_;
    GdiHandle hDib_ = 0;
    GdiHandle hBmpOld_ = 0;
    GdiHandle hDC_ = 0;
    std::uint8_t* bits_ = nullptr;
    BitmapInfoHeader bi_{};
};

}  // namespace rk
