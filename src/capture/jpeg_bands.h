// The two halves of a picture are encoded as two JPEG files of their own, each with a restart
// marker after every row of blocks; these join them, byte by byte, into the file that one
// encode of the whole picture with the same restart interval makes. Pure functions of bytes:
// they know the file's layout, not the encoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace rk {

using JpegBytesOut = std::function<void(std::span<const std::uint8_t>)>;

// Where the scan's data begins: after the start-of-scan segment. 0 when it is not in bytes.
std::size_t JpegScanStart(std::span<const std::uint8_t> bytes);

// Sets the frame header's height; false when bytes hold no baseline frame header before the
// scan.
bool SetJpegFrameHeight(std::span<std::uint8_t> bytes, int height);

// The top band's file, handed on whole but for its end marker, its frame header telling the
// whole picture's height. Pieces come in the order the encoder makes them.
class JpegHeadBand {
  public:
    explicit JpegHeadBand(int pictureHeight) : pictureHeight_(pictureHeight) {}
    // False once the bytes are not a JPEG file as expected.
    bool piece(std::span<std::uint8_t> bytes, const JpegBytesOut& out);
    // True when what was held back is exactly the end marker, which the tail writes.
    bool complete() const;

  private:
    int pictureHeight_;
    bool first_ = true;
    std::uint8_t held_[2]{};
    std::size_t heldCount_ = 0;
    std::vector<std::uint8_t> joined_;  // held bytes before a piece
};

// A lower band's file, handed on from its scan data on, after the restart marker that joins it
// to the band above, its own restart markers numbered on from those of the bands above.
class JpegTailBand {
  public:
    // restartsAbove: the restart intervals (rows of blocks) in the bands above.
    explicit JpegTailBand(int restartsAbove) : restartsAbove_(restartsAbove) {}
    bool piece(std::span<std::uint8_t> bytes, const JpegBytesOut& out);

  private:
    int restartsAbove_;
    bool first_ = true;
    bool afterMarkerByte_ = false;  // the last scan byte handed on was 0xFF
};

}  // namespace rk
