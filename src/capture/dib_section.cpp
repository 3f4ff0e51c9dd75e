#include "capture/dib_section.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <utility>

#include "capture/checked_int.h"

namespace rk {

std::int32_t BytesPerScanLineFor(std::int32_t width) {
    return checkedAdd(checkedMul(width, 3), 3) & ~3;
}

BitmapInfoHeader Dib24Header(std::int32_t width, std::int32_t height) {
    BitmapInfoHeader bi;
    bi.biSize = 40;
    bi.biWidth = width;
    bi.biHeight = height;
    bi.biPlanes = 1;
    bi.biBitCount = 24;
    bi.biCompression = 0;  // BI_RGB
    bi.biSizeImage = static_cast<std::uint32_t>(checkedMul(BytesPerScanLineFor(width), height));
    return bi;
}

cDIBSection::cDIBSection(cDIBSection&& other) noexcept
    : gdi_(other.gdi_),
      hDib_(std::exchange(other.hDib_, 0)),
      hBmpOld_(std::exchange(other.hBmpOld_, 0)),
      hDC_(std::exchange(other.hDC_, 0)),
      bits_(std::exchange(other.bits_, nullptr)),
      bi_(other.bi_) {}

cDIBSection& cDIBSection::operator=(cDIBSection&& other) noexcept {
    if (this != &other) {
        ClearUp();
        gdi_ = other.gdi_;
        hDib_ = std::exchange(other.hDib_, 0);
        hBmpOld_ = std::exchange(other.hBmpOld_, 0);
        hDC_ = std::exchange(other.hDC_, 0);
        bits_ = std::exchange(other.bits_, nullptr);
        bi_ = other.bi_;
    }
    return *this;
}

bool cDIBSection::CopyToClipboard(Clipboard& clipboard, bool bAsDIB, const ShowBox& show) {
    if (bAsDIB) {
        if (show)
            show("Copying the picture as a DIB is not supported.", "Raidkit", BoxIcon::Information);
        return false;
    }
    if (hDC_ == 0)
        return false;
    return clipboard.putCopyOf(hDC_, Width(), Height());
}

bool cDIBSection::CreateDIB(GdiHandle lhDC, std::int32_t lWidth, std::int32_t lHeight,
                            GdiHandle& hDib) {
    // The requested size stays in the header even when the size overflows or nothing is made.
    bi_.biWidth = lWidth;
    bi_.biHeight = lHeight;
    bi_ = Dib24Header(lWidth, lHeight);
    std::uint8_t* bits = nullptr;
    hDib = gdi_->createDibSection(lhDC, bi_, bits);
    bits_ = hDib != 0 ? bits : nullptr;
    return hDib != 0;
}

bool cDIBSection::Create(std::int32_t lWidth, std::int32_t lHeight) {
    ClearUp();
    hDC_ = gdi_->createCompatibleDc(0);
    if (hDC_ == 0)
        return false;
    bool made = false;
    try {
        made = CreateDIB(hDC_, lWidth, lHeight, hDib_);
    } catch (...) {
        // An overflowing size must not leave a device context behind.
        gdi_->deleteDc(std::exchange(hDC_, 0));
        throw;
    }
    if (made) {
        hBmpOld_ = gdi_->selectObject(hDC_, hDib_);
        if (hBmpOld_ != 0)
            return true;
        gdi_->deleteObject(std::exchange(hDib_, 0));
        bits_ = nullptr;
    }
    gdi_->deleteDc(std::exchange(hDC_, 0));
    return false;
}

bool cDIBSection::holdsSize(std::int32_t lWidth, std::int32_t lHeight) const {
    return bits_ != nullptr && bi_.biWidth == lWidth && bi_.biHeight == lHeight;
}

void cDIBSection::CreateFromPicture(GdiHandle picThis, const RowsReady& ready) {
    const PixelSize size = gdi_->bitmapSize(picThis);
    // A surface of this size already has its memory: every row is written again below.
    if (!holdsSize(size.width, size.height) && !Create(size.width, size.height))
        return;
    // The bitmap's bits are read straight into the section, converted to 24-bit BGR as a blit
    // through a DC would convert them, and under Wine some thirty times faster than that blit.
    // A surface the picture never reached would be stored as a black screenshot: an empty one
    // tells the caller there is nothing to store.
    if (!gdi_->getBits(hDC_, picThis, bi_, bits_, ready)) {
        if (ready)
            ready(kRowsWithdrawn);
        ClearUp();
    }
}

void cDIBSection::CreateFromScreen(const RowsReady& ready) {
    const ScreenArea area = gdi_->screenArea();
    if (!holdsSize(area.width, area.height) && !Create(area.width, area.height))
        return;
    bool copied = false;
    if (GdiHandle screen = gdi_->screenDc(); screen != 0) {
        copied = blitIn(screen, area.left, area.top, -1, -1, rop::kSrcCopy | rop::kCaptureBlt);
        gdi_->releaseScreenDc(screen);
    }
    if (!copied)
        ClearUp();
    else if (ready)
        ready(Height());
}

void cDIBSection::LoadPictureBlt(GdiHandle lhDC, std::int32_t lSrcLeft, std::int32_t lSrcTop,
                                 std::int32_t lSrcWidth, std::int32_t lSrcHeight,
                                 std::uint32_t eRop) {
    blitIn(lhDC, lSrcLeft, lSrcTop, lSrcWidth, lSrcHeight, eRop);
}

bool cDIBSection::blitIn(GdiHandle lhDC, std::int32_t lSrcLeft, std::int32_t lSrcTop,
                         std::int32_t lSrcWidth, std::int32_t lSrcHeight, std::uint32_t eRop) {
    return gdi_->bitBlt(hDC_, 0, 0, lSrcWidth < 0 ? Width() : lSrcWidth,
                        lSrcHeight < 0 ? Height() : lSrcHeight, lhDC, lSrcLeft, lSrcTop, eRop);
}

void cDIBSection::PaintPicture(GdiHandle lhDC, std::int32_t lDestLeft, std::int32_t lDestTop,
                               std::int32_t lDestWidth, std::int32_t lDestHeight,
                               std::int32_t lSrcLeft, std::int32_t lSrcTop, std::uint32_t eRop) {
    gdi_->bitBlt(lhDC, lDestLeft, lDestTop, lDestWidth < 0 ? Width() : lDestWidth,
                 lDestHeight < 0 ? Height() : lDestHeight, hDC_, lSrcLeft, lSrcTop, eRop);
}

void cDIBSection::RandomiseBits(bool bGray) {
    if (bits_ == nullptr)
        return;
    std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<int> byte(0, 255);
    const std::int32_t stride = BytesPerScanLine();
    for (std::int32_t y = 0; y < Height(); ++y) {
        std::uint8_t* row = bits_ + static_cast<std::ptrdiff_t>(y) * stride;
        for (std::int32_t x = 0; x < Width(); ++x) {
            std::uint8_t* px = row + x * 3;
            if (bGray) {
                px[0] = px[1] = px[2] = static_cast<std::uint8_t>(byte(random));
            } else {
                for (int c = 0; c < 3; ++c) px[c] = static_cast<std::uint8_t>(byte(random));
            }
        }
    }
}

void cDIBSection::ClearUp() {
    // Windows will not delete a bitmap that is still selected: put the old one back first.
    if (hDC_ != 0) {
        if (hDib_ != 0) {
            gdi_->selectObject(hDC_, hBmpOld_);
            gdi_->deleteObject(hDib_);
        }
        gdi_->deleteDc(hDC_);
    }
    hDC_ = 0;
    hDib_ = 0;
    hBmpOld_ = 0;
    bits_ = nullptr;
}

cDIBSection cDIBSection::Resample(std::int32_t lNewHeight, std::int32_t lNewWidth) const {
    cDIBSection out(*gdi_);
    if (!out.Create(lNewWidth, lNewHeight) || bits_ == nullptr)
        return out;
    if (lNewWidth == Width() && lNewHeight == Height()) {
        std::memcpy(out.bits_, bits_, bi_.biSizeImage);
    } else {
        resampleInto(out);
    }
    return out;
}

void cDIBSection::resampleInto(cDIBSection& target) const {
    const std::int32_t sw = Width(), sh = Height(), dw = target.Width(), dh = target.Height();
    const std::ptrdiff_t srcStride = BytesPerScanLine(), dstStride = target.BytesPerScanLine();
    // Where a target pixel's centre falls among the source pixels, clamped to the edges.
    auto place = [](std::int32_t d, std::int32_t dn, std::int32_t sn, std::int32_t& i0,
                    std::int32_t& i1, double& frac) {
        double s = (d + 0.5) * sn / dn - 0.5;
        s = std::clamp(s, 0.0, static_cast<double>(sn - 1));
        i0 = static_cast<std::int32_t>(s);
        i1 = std::min(i0 + 1, sn - 1);
        frac = s - i0;
    };
    for (std::int32_t y = 0; y < dh; ++y) {
        std::int32_t y0, y1;
        double fy;
        place(y, dh, sh, y0, y1, fy);
        const std::uint8_t* r0 = bits_ + y0 * srcStride;
        const std::uint8_t* r1 = bits_ + y1 * srcStride;
        std::uint8_t* out = target.bits_ + y * dstStride;
        for (std::int32_t x = 0; x < dw; ++x) {
            std::int32_t x0, x1;
            double fx;
            place(x, dw, sw, x0, x1, fx);
            for (int c = 0; c < 3; ++c) {
                const double top = r0[x0 * 3 + c] + (r0[x1 * 3 + c] - r0[x0 * 3 + c]) * fx;
                const double bottom = r1[x0 * 3 + c] + (r1[x1 * 3 + c] - r1[x0 * 3 + c]) * fx;
                out[x * 3 + c] = static_cast<std::uint8_t>(std::lround(top + (bottom - top) * fy));
            }
        }
    }
}

}  // namespace rk
