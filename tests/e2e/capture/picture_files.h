// Reading back what the screenshot road wrote: JPEG through libjpeg-turbo's decoder, bitmap
// files the way viewers read them, and a comparison against a known picture.
#pragma once

#include <turbojpeg.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace rk::e2e {

inline std::vector<std::uint8_t> readPictureFile(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Picture {
    int w = 0, h = 0;
    std::vector<std::uint32_t> px;  // 0x00RRGGBB, top row first
};

inline std::optional<Picture> decodeJpeg(const std::vector<std::uint8_t>& bytes) {
    tjhandle tj = tjInitDecompress();
    int w = 0, h = 0, sub = 0, cs = 0;
    std::optional<Picture> out;
    if (!bytes.empty() &&
        tjDecompressHeader3(tj, bytes.data(), bytes.size(), &w, &h, &sub, &cs) == 0) {
        std::vector<std::uint8_t> rgb(std::size_t(w) * h * 3);
        if (tjDecompress2(tj, bytes.data(), bytes.size(), rgb.data(), w, w * 3, h, TJPF_RGB, 0) ==
            0) {
            Picture p{w, h, {}};
            for (std::size_t i = 0; i < rgb.size(); i += 3)
                p.px.push_back(std::uint32_t(rgb[i]) << 16 | rgb[i + 1] << 8 | rgb[i + 2]);
            out = p;
        }
    }
    tjDestroy(tj);
    return out;
}

inline std::optional<Picture> decodeBmp(const std::vector<std::uint8_t>& f) {
    auto u32 = [&](std::size_t at) {
        return std::uint32_t(f[at]) | f[at + 1] << 8 | f[at + 2] << 16 |
               std::uint32_t(f[at + 3]) << 24;
    };
    if (f.size() < 54 || f[0] != 'B' || f[1] != 'M' || u32(2) != f.size() || u32(14) != 40 ||
        (f[28] | f[29] << 8) != 24) {
        return std::nullopt;
    }
    const int w = int(u32(18)), h = int(u32(22));
    const std::size_t stride = (std::size_t(w) * 3 + 3) & ~std::size_t{3};
    if (w <= 0 || h <= 0 || u32(10) + stride * h > f.size())
        return std::nullopt;
    Picture p{w, h, std::vector<std::uint32_t>(std::size_t(w) * h)};
    for (int r = 0; r < h; ++r) {
        const std::uint8_t* row = f.data() + u32(10) + stride * r;
        for (int x = 0; x < w; ++x)
            p.px[std::size_t(h - 1 - r) * w + x] =
                std::uint32_t(row[x * 3 + 2]) << 16 | row[x * 3 + 1] << 8 | row[x * 3];
    }
    return p;
}

// Mean difference per channel over the top `rows` rows.
inline double meanDifference(const Picture& a, const std::vector<std::uint32_t>& b, int rows) {
    long total = 0;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < a.w; ++x) {
            const std::uint32_t p = a.px[std::size_t(y) * a.w + x], q = b[std::size_t(y) * a.w + x];
            for (int s : {0, 8, 16}) total += std::abs(int(p >> s & 0xFF) - int(q >> s & 0xFF));
        }
    }
    return double(total) / (3.0 * rows * a.w);
}

}  // namespace rk::e2e
