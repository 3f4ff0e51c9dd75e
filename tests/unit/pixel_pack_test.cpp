#include "capture/pixel_pack.h"

#include <gtest/gtest.h>

#include <vector>

namespace rk {
namespace {

// Byte-by-byte, as the format says: B, G, R kept, X dropped.
std::vector<std::uint8_t> reference(const std::vector<std::uint8_t>& in, std::int32_t width) {
    std::vector<std::uint8_t> out;
    for (std::int32_t x = 0; x < width; ++x)
        out.insert(out.end(), {in[x * 4], in[x * 4 + 1], in[x * 4 + 2]});
    return out;
}

TEST(PixelPack, EveryWidthGivesTheReferenceRowAndWritesNothingPastIt) {
    constexpr std::uint8_t kGuard = 0xA5;
    for (std::int32_t width : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 16, 17, 1366, 1920}) {
        std::vector<std::uint8_t> in(static_cast<std::size_t>(width) * 4);
        for (std::size_t i = 0; i < in.size(); ++i) in[i] = static_cast<std::uint8_t>(i * 37 + 11);
        const std::vector<std::uint8_t> want = reference(in, width);
        for (auto pack : {PackBgrxToBgr, PackBgrxToBgrPlain}) {
            std::vector<std::uint8_t> out(want.size() + 16, kGuard);
            pack(in.data(), out.data(), width);
            EXPECT_EQ(std::vector<std::uint8_t>(out.begin(), out.begin() + want.size()), want)
                << "width " << width;
            for (std::size_t i = want.size(); i < out.size(); ++i)
                ASSERT_EQ(out[i], kGuard) << "width " << width << ": byte " << i << " written";
        }
    }
}

}  // namespace
}  // namespace rk
