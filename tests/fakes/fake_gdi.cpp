#include "fake_gdi.h"

#include <algorithm>

namespace rk {

std::uint32_t FakeGdi::Bitmap::get(std::int32_t x, std::int32_t y) const {
    if (!dib)
        return ddb[static_cast<std::size_t>(y) * width + x];
    const std::int32_t row = height > 0 ? height - 1 - y : y;
    const std::uint8_t* p = bits.data() + static_cast<std::size_t>(row) * stride + x * 3;
    return std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
}

void FakeGdi::Bitmap::set(std::int32_t x, std::int32_t y, std::uint32_t rgb) {
    if (!dib) {
        ddb[static_cast<std::size_t>(y) * width + x] = rgb & 0xFFFFFF;
        return;
    }
    const std::int32_t row = height > 0 ? height - 1 - y : y;
    std::uint8_t* p = bits.data() + static_cast<std::size_t>(row) * stride + x * 3;
    p[0] = static_cast<std::uint8_t>(rgb);
    p[1] = static_cast<std::uint8_t>(rgb >> 8);
    p[2] = static_cast<std::uint8_t>(rgb >> 16);
}

GdiHandle FakeGdi::createCompatibleDc(GdiHandle reference) {
    if (fault(Call::GdiMake))
        return 0;
    if (reference != 0 && !dcs_.contains(reference))
        return 0;
    if (handlesLeft == 0)
        return 0;
    --handlesLeft;
    GdiHandle h = newHandle();
    dcs_[h] = Dc{};
    return h;
}

bool FakeGdi::deleteDc(GdiHandle dc) {
    auto it = dcs_.find(dc);
    if (it == dcs_.end() || it->second.screen)
        return false;
    if (auto b = bitmaps_.find(it->second.selected); b != bitmaps_.end())
        b->second.selectedInto = 0;
    dcs_.erase(it);
    ++handlesLeft;
    return true;
}

GdiHandle FakeGdi::createDibSection(GdiHandle dc, const BitmapInfoHeader& h, std::uint8_t*& bits) {
    bits = nullptr;
    if (fault(Call::GdiMake))
        return 0;
    if (dc != 0 && !dcs_.contains(dc))
        return 0;
    if (h.biSize != 40 || h.biPlanes != 1 || h.biBitCount != 24 || h.biCompression != 0 ||
        h.biWidth <= 0 || h.biHeight == 0 || handlesLeft == 0) {
        return 0;
    }
    Bitmap b;
    b.width = h.biWidth;
    b.height = h.biHeight;
    b.dib = true;
    b.stride = (h.biWidth * 3 + 3) & ~3;
    const std::size_t size =
        static_cast<std::size_t>(b.stride) * static_cast<std::size_t>(b.rows());
    if (size > memoryLeft)
        return 0;
    if (!b.bits.allocate(size))
        return 0;
    memoryLeft -= size;
    --handlesLeft;
    GdiHandle handle = newHandle();
    bits = (bitmaps_[handle] = std::move(b)).bits.data();
    return handle;
}

GdiHandle FakeGdi::selectObject(GdiHandle dc, GdiHandle object) {
    if (fault(Call::GdiMake))
        return 0;
    auto d = dcs_.find(dc);
    if (d == dcs_.end() || d->second.screen)
        return 0;
    if (object != kStockBitmap) {
        auto b = bitmaps_.find(object);
        if (b == bitmaps_.end())
            return 0;
        if (b->second.selectedInto != 0 && b->second.selectedInto != dc)
            return 0;
        b->second.selectedInto = dc;
    }
    const GdiHandle previous = d->second.selected;
    if (previous != object) {
        if (auto old = bitmaps_.find(previous); old != bitmaps_.end())
            old->second.selectedInto = 0;
    }
    d->second.selected = object;
    return previous;
}

bool FakeGdi::deleteObject(GdiHandle object) {
    if (object == kStockBitmap)
        return true;
    auto b = bitmaps_.find(object);
    if (b == bitmaps_.end() || b->second.selectedInto != 0)
        return false;
    if (b->second.dib)
        memoryLeft += b->second.bits.size();
    bitmaps_.erase(b);
    ++handlesLeft;
    return true;
}

bool FakeGdi::bitBlt(GdiHandle dest, std::int32_t destX, std::int32_t destY, std::int32_t width,
                     std::int32_t height, GdiHandle source, std::int32_t srcX, std::int32_t srcY,
                     std::uint32_t rop) {
    if (fault(Call::GdiRead))
        return false;
    if ((rop & ~rop::kCaptureBlt) != rop::kSrcCopy)
        return false;
    auto d = dcs_.find(dest);
    auto s = dcs_.find(source);
    if (d == dcs_.end() || s == dcs_.end() || d->second.screen)
        return false;
    auto target = bitmaps_.find(d->second.selected);
    if (target == bitmaps_.end())
        return true;  // into the 1x1 stock bitmap: nothing to see
    Bitmap& out = target->second;

    const Bitmap* in = nullptr;
    std::int32_t inWidth = 0, inHeight = 0, offsetX = 0, offsetY = 0;
    if (s->second.screen) {
        inWidth = screen.width;
        inHeight = screen.height;
        offsetX = screenLeft;
        offsetY = screenTop;
    } else {
        auto b = bitmaps_.find(s->second.selected);
        if (b == bitmaps_.end())
            return true;
        in = &b->second;
        inWidth = in->width;
        inHeight = in->rows();
    }
    // Clip to both bitmaps, then copy row by row.
    std::int32_t x0 = 0, y0 = 0, x1 = width, y1 = height;
    x0 = std::max({x0, -destX, offsetX - srcX});
    y0 = std::max({y0, -destY, offsetY - srcY});
    x1 = std::min({x1, out.width - destX, inWidth + offsetX - srcX});
    y1 = std::min({y1, out.rows() - destY, inHeight + offsetY - srcY});
    for (std::int32_t y = y0; y < y1; ++y) {
        const std::int32_t sy = srcY + y - offsetY, dy = destY + y;
        const std::uint32_t* packed = nullptr;  // a top-down 0x00RRGGBB source row
        if (!in) {
            packed = screen.pixels.data() + static_cast<std::size_t>(sy) * screen.width;
        } else if (!in->dib) {
            packed = in->ddb.data() + static_cast<std::size_t>(sy) * in->width;
        }
        if (packed && out.dib) {
            const std::int32_t row = out.height > 0 ? out.height - 1 - dy : dy;
            std::uint8_t* p = out.bits.data() + static_cast<std::size_t>(row) * out.stride;
            for (std::int32_t x = x0; x < x1; ++x) {
                const std::uint32_t rgb = packed[srcX + x - offsetX];
                std::uint8_t* px = p + (destX + x) * 3;
                px[0] = static_cast<std::uint8_t>(rgb);
                px[1] = static_cast<std::uint8_t>(rgb >> 8);
                px[2] = static_cast<std::uint8_t>(rgb >> 16);
            }
            continue;
        }
        for (std::int32_t x = x0; x < x1; ++x) {
            const std::int32_t sx = srcX + x - offsetX;
            out.set(destX + x, dy, packed ? packed[sx] : in->get(sx, sy));
        }
    }
    return true;
}

bool FakeGdi::getBits(GdiHandle dc, GdiHandle bitmap, const BitmapInfoHeader& h, std::uint8_t* bits,
                      const RowsReady& ready) {
    const bool fails = fault(Call::GdiRead).has_value();
    auto b = bitmaps_.find(bitmap);
    if (!dcs_.contains(dc) || b == bitmaps_.end() || b->second.selectedInto != 0 || !bits)
        return false;
    const Bitmap& in = b->second;
    // Only the one layout the surface uses: 24 bits, uncompressed, of the bitmap's own size.
    if (h.biBitCount != 24 || h.biCompression != 0 || h.biPlanes != 1 || h.biWidth != in.width ||
        (h.biHeight < 0 ? -h.biHeight : h.biHeight) != in.rows()) {
        return false;
    }
    const std::int32_t stride = (h.biWidth * 3 + 3) & ~3;
    for (std::int32_t y = 0; y < in.rows(); ++y) {
        std::uint8_t* row =
            bits + static_cast<std::size_t>(h.biHeight > 0 ? in.rows() - 1 - y : y) * stride;
        for (std::int32_t x = 0; x < in.width; ++x) {
            const std::uint32_t rgb = in.dib ? in.get(x, y) : in.ddb[std::size_t(y) * in.width + x];
            row[x * 3] = static_cast<std::uint8_t>(rgb);
            row[x * 3 + 1] = static_cast<std::uint8_t>(rgb >> 8);
            row[x * 3 + 2] = static_cast<std::uint8_t>(rgb >> 16);
        }
        if ((y + 1) % readBand == 0 || y + 1 == in.rows()) {
            if (ready)
                ready(y + 1);
            if (fails)
                return false;
        }
    }
    return true;
}

PixelSize FakeGdi::bitmapSize(GdiHandle bitmap) {
    if (bitmap == kStockBitmap)
        return {1, 1};
    auto b = bitmaps_.find(bitmap);
    if (b == bitmaps_.end())
        return {};
    return {b->second.width, b->second.rows()};
}

GdiHandle FakeGdi::screenDc() {
    if (fault(Call::GdiMake))
        return 0;
    GdiHandle h = newHandle();
    dcs_[h] = Dc{true, 0};
    return h;
}

void FakeGdi::releaseScreenDc(GdiHandle dc) {
    if (auto d = dcs_.find(dc); d != dcs_.end() && d->second.screen)
        dcs_.erase(d);
}

GdiHandle FakeGdi::makeBitmap(const FakeImage& image) {
    Bitmap b;
    b.width = image.width;
    b.height = image.height;
    b.ddb = image.pixels;
    GdiHandle h = newHandle();
    bitmaps_[h] = std::move(b);
    return h;
}

FakeImage FakeGdi::pixelsOf(GdiHandle bitmap) const {
    FakeImage image;
    auto b = bitmaps_.find(bitmap);
    if (b == bitmaps_.end())
        return image;
    image.width = b->second.width;
    image.height = b->second.rows();
    image.pixels.reserve(static_cast<std::size_t>(image.width) * image.height);
    for (std::int32_t y = 0; y < image.height; ++y)
        for (std::int32_t x = 0; x < image.width; ++x) image.pixels.push_back(b->second.get(x, y));
    return image;
}

std::size_t FakeGdi::liveObjects() const {
    std::size_t n = bitmaps_.size();
    for (const auto& [h, dc] : dcs_) n += dc.screen ? 0 : 1;
    return n;
}

std::size_t FakeGdi::screenDcsOut() const {
    return static_cast<std::size_t>(
        std::count_if(dcs_.begin(), dcs_.end(), [](const auto& d) { return d.second.screen; }));
}

GdiHandle FakeGdi::selectedIn(GdiHandle dc) const {
    auto d = dcs_.find(dc);
    return d == dcs_.end() ? 0 : d->second.selected;
}

}  // namespace rk
