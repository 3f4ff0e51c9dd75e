#include "capture/pixel_pack.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define RK_HAVE_SSSE3_PATH 1
#endif

namespace rk {

void PackBgrxToBgrPlain(const std::uint8_t* in, std::uint8_t* out, std::int32_t width) {
    std::int32_t x = 0;
    // Four pixels in three words: whole-word moves instead of twelve byte moves.
    for (; x + 4 <= width; x += 4, in += 16, out += 12) {
        std::uint32_t p[4];
        std::memcpy(p, in, 16);
        const std::uint32_t words[3] = {(p[0] & 0xFFFFFF) | (p[1] << 24),
                                        ((p[1] >> 8) & 0xFFFF) | (p[2] << 16),
                                        ((p[2] >> 16) & 0xFF) | (p[3] << 8)};
        std::memcpy(out, words, 12);
    }
    for (; x < width; ++x, in += 4, out += 3) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
    }
}

#ifdef RK_HAVE_SSSE3_PATH
namespace {
__attribute__((target("ssse3"))) void packSsse3(const std::uint8_t* in, std::uint8_t* out,
                                                std::int32_t width) {
    const __m128i order = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    std::int32_t x = 0;
    for (; x + 4 <= width; x += 4, in += 16, out += 12) {
        const __m128i packed =
            _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in)), order);
        // Exactly twelve bytes: the row may end right here.
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), packed);
        const std::uint32_t last =
            static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(packed, 8)));
        std::memcpy(out + 8, &last, 4);
    }
    PackBgrxToBgrPlain(in, out, width - x);
}

bool hasSsse3() {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}
}  // namespace
#endif

void PackBgrxToBgr(const std::uint8_t* in, std::uint8_t* out, std::int32_t width) {
#ifdef RK_HAVE_SSSE3_PATH
    if (hasSsse3())
        return packSsse3(in, out, width);
#endif
    PackBgrxToBgrPlain(in, out, width);
}

}  // namespace rk
