// Small known pictures for the screenshot tests, and independent readers for what was written.
#pragma once

#include <turbojpeg.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "capture/dib_section.h"
#include "capture/turbo_jpeg.h"
#include "fake_gdi.h"

namespace rk::testimg {

inline std::uint32_t rgb(int r, int g, int b) {
    return std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | std::uint32_t(b);
}

// Smooth in both directions: red grows to the right, green downwards.
inline FakeImage gradient(std::int32_t w, std::int32_t h) {
    FakeImage img{w, h, {}};
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x)
            img.pixels.push_back(rgb(x * 255 / (w > 1 ? w - 1 : 1), y * 255 / (h > 1 ? h - 1 : 1),
                                     (x + y) * 255 / (w + h > 2 ? w + h - 2 : 1)));
    return img;
}

// A top band and a bottom band of two colours: shows which way up a picture is.
inline FakeImage bands(std::int32_t w, std::int32_t h, std::uint32_t top, std::uint32_t bottom) {
    FakeImage img{w, h, {}};
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x) img.pixels.push_back(y < h / 2 ? top : bottom);
    return img;
}

inline FakeImage flat(std::int32_t w, std::int32_t h, std::uint32_t colour) {
    return FakeImage{w, h, std::vector<std::uint32_t>(std::size_t(w) * h, colour)};
}

// Mean and largest difference over all channels of two pictures of one size.
struct Difference {
    double mean = 0;
    int largest = 0;
};
inline Difference difference(const FakeImage& a, const FakeImage& b) {
    Difference d;
    if (a.width != b.width || a.height != b.height)
        return {1e9, 1 << 30};
    long total = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        for (int shift : {0, 8, 16}) {
            const int e =
                std::abs(int((a.pixels[i] >> shift) & 0xFF) - int((b.pixels[i] >> shift) & 0xFF));
            total += e;
            d.largest = std::max(d.largest, e);
        }
    }
    d.mean = a.pixels.empty() ? 0 : double(total) / (3.0 * a.pixels.size());
    return d;
}

// libjpeg-turbo's decoder, top row first.
inline std::optional<FakeImage> decodeJpeg(const std::vector<std::uint8_t>& bytes) {
    tjhandle tj = tjInitDecompress();
    int w = 0, h = 0, subsamp = 0, colorspace = 0;
    std::optional<FakeImage> out;
    if (tjDecompressHeader3(tj, bytes.data(), bytes.size(), &w, &h, &subsamp, &colorspace) == 0) {
        std::vector<std::uint8_t> px(std::size_t(w) * h * 3);
        if (tjDecompress2(tj, bytes.data(), bytes.size(), px.data(), w, w * 3, h, TJPF_RGB, 0) ==
            0) {
            FakeImage img{w, h, {}};
            for (std::size_t i = 0; i < px.size(); i += 3)
                img.pixels.push_back(rgb(px[i], px[i + 1], px[i + 2]));
            out = img;
        }
    }
    tjDestroy(tj);
    return out;
}

// A 24-bit uncompressed bitmap file, read the way viewers read it.
inline std::optional<FakeImage> decodeBmp(const std::vector<std::uint8_t>& f) {
    auto u32 = [&](std::size_t at) {
        return std::uint32_t(f[at]) | std::uint32_t(f[at + 1]) << 8 |
               std::uint32_t(f[at + 2]) << 16 | std::uint32_t(f[at + 3]) << 24;
    };
    if (f.size() < 54 || f[0] != 'B' || f[1] != 'M' || u32(2) != f.size())
        return std::nullopt;
    const std::uint32_t offBits = u32(10);
    const auto w = std::int32_t(u32(18)), h = std::int32_t(u32(22));
    if (u32(14) != 40 || (f[28] | f[29] << 8) != 24 || u32(30) != 0 || w <= 0 || h == 0)
        return std::nullopt;
    const std::int32_t rows = std::abs(h);
    const std::size_t stride = (std::size_t(w) * 3 + 3) & ~std::size_t{3};
    if (offBits + stride * rows > f.size())
        return std::nullopt;
    FakeImage img{w, rows, std::vector<std::uint32_t>(std::size_t(w) * rows)};
    for (std::int32_t r = 0; r < rows; ++r) {
        const std::int32_t y = h > 0 ? rows - 1 - r : r;  // positive height: bottom row first
        const std::uint8_t* p = f.data() + offBits + stride * r;
        for (std::int32_t x = 0; x < w; ++x)
            img.pixels[std::size_t(y) * w + x] = rgb(p[x * 3 + 2], p[x * 3 + 1], p[x * 3]);
    }
    return img;
}

// A surface holding the picture, made as Print Screen's picture is taken over.
inline cDIBSection surfaceOf(FakeGdi& gdi, const FakeImage& image) {
    cDIBSection s(gdi);
    s.CreateFromPicture(gdi.makeBitmap(image));
    return s;
}

// The real encoder, for tests that look at how the writer calls it: override what is watched.
class WatchedTurbo : public JpegLibrary {
  public:
    int init(JpegCoreProperties& p) override { return real.init(p); }
    int write(JpegCoreProperties& p) override { return real.write(p); }
    void free(JpegCoreProperties& p) override { real.free(p); }

  private:
    TurboJpegLibrary real;
};

}  // namespace rk::testimg
