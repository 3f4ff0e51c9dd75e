#include "capture/jpeg_bands.h"

#include <algorithm>

namespace rk {

namespace {
constexpr std::uint8_t kMarker = 0xFF;
constexpr std::uint8_t kSof0 = 0xC0;
constexpr std::uint8_t kSos = 0xDA;
constexpr std::uint8_t kRst0 = 0xD0;
constexpr std::uint8_t kEoi = 0xD9;
}  // namespace

std::size_t JpegScanStart(std::span<const std::uint8_t> bytes) {
    std::size_t at = 2;  // after the start-of-image marker
    while (at + 4 <= bytes.size() && bytes[at] == kMarker) {
        const std::size_t length = std::size_t{bytes[at + 2]} << 8 | bytes[at + 3];
        const std::size_t end = at + 2 + length;
        if (bytes[at + 1] == kSos)
            return end <= bytes.size() ? end : 0;
        at = end;
    }
    return 0;
}

bool SetJpegFrameHeight(std::span<std::uint8_t> bytes, int height) {
    std::size_t at = 2;
    while (at + 9 <= bytes.size() && bytes[at] == kMarker && bytes[at + 1] != kSos) {
        if (bytes[at + 1] == kSof0) {
            bytes[at + 5] = static_cast<std::uint8_t>(height >> 8);
            bytes[at + 6] = static_cast<std::uint8_t>(height);
            return true;
        }
        at += 2 + (std::size_t{bytes[at + 2]} << 8 | bytes[at + 3]);
    }
    return false;
}

bool JpegHeadBand::piece(std::span<std::uint8_t> bytes, const JpegBytesOut& out) {
    if (first_ && !SetJpegFrameHeight(bytes, pictureHeight_))
        return false;
    first_ = false;
    joined_.assign(held_, held_ + heldCount_);
    joined_.insert(joined_.end(), bytes.begin(), bytes.end());
    heldCount_ = std::min<std::size_t>(2, joined_.size());
    std::copy(joined_.end() - static_cast<std::ptrdiff_t>(heldCount_), joined_.end(), held_);
    out({joined_.data(), joined_.size() - heldCount_});
    return true;
}

bool JpegHeadBand::complete() const {
    return heldCount_ == 2 && held_[0] == kMarker && held_[1] == kEoi;
}

bool JpegTailBand::piece(std::span<std::uint8_t> bytes, const JpegBytesOut& out) {
    if (first_) {
        const std::size_t start = JpegScanStart(bytes);
        if (start == 0)
            return false;
        first_ = false;
        bytes = bytes.subspan(start);
        const std::uint8_t joint[] = {
            kMarker, static_cast<std::uint8_t>(kRst0 + ((restartsAbove_ - 1) & 7))};
        out(joint);
    }
    for (std::uint8_t& b : bytes) {
        if (afterMarkerByte_ && b >= kRst0 && b < kRst0 + 8)
            b = static_cast<std::uint8_t>(kRst0 + ((b - kRst0 + restartsAbove_) & 7));
        afterMarkerByte_ = b == kMarker;
    }
    out(bytes);
    return true;
}

}  // namespace rk
