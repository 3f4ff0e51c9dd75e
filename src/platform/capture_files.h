// Files as the screenshot writers need them: exact look-ups with attributes and times, and a
// new file moved into place so that no existing file is touched until the new one is complete.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

#include "platform/file_errors.h"

namespace rk {

// File attribute bits, as Windows numbers them.
namespace fileattr {
constexpr std::uint32_t kReadOnly = 0x01;
constexpr std::uint32_t kHidden = 0x02;
constexpr std::uint32_t kSystem = 0x04;
constexpr std::uint32_t kDirectory = 0x10;
constexpr std::uint32_t kArchive = 0x20;
constexpr std::uint32_t kNormal = 0x80;
constexpr std::uint32_t kNotContentIndexed = 0x2000;
}  // namespace fileattr

// FILETIME values: 100 ns ticks since 1601.
struct FileTimes {
    std::uint64_t creation = 0;
    std::uint64_t lastAccess = 0;
    std::uint64_t lastWrite = 0;

    bool operator==(const FileTimes&) const = default;
};

struct FileEntry {
    std::uint32_t attributes = 0;
    FileTimes times;
};

// Hands a file being written its next piece, waiting while the piece is still being made: true
// with the piece (valid until the next call), or with an empty piece once the file is complete;
// false when the file is not to be kept after all.
using NextPiece = std::function<bool(std::span<const std::uint8_t>& piece)>;

class CaptureFiles {
  public:
    virtual ~CaptureFiles() = default;
    // The directory entry of exactly this name (no wildcards); nullopt when there is none.
    virtual std::optional<FileEntry> find(std::string_view path) = 0;
    // Creates a file of a name that is not taken and writes the pieces next hands over, as they
    // come. On failure, or when next gives the file up (Failed), no file of that name is left.
    virtual FileResult writeNewFrom(std::string_view path, const NextPiece& next) = 0;
    // The same for pieces that are all there.
    FileResult writeNew(std::string_view path,
                        std::span<const std::span<const std::uint8_t>> pieces);
    // Renames a file. Without replace an existing target is never touched (Exists); with
    // replace an existing file of the target's name is replaced in one step.
    virtual FileResult move(std::string_view from, std::string_view to, bool replace) = 0;
    virtual bool remove(std::string_view path) = 0;
    virtual bool setTimes(std::string_view path, const FileTimes& times) = 0;
    virtual bool setAttributes(std::string_view path, std::uint32_t attributes) = 0;
};

// Hands over pieces that are all there, one after another (an empty one would end the file).
inline NextPiece PiecesOf(std::span<const std::span<const std::uint8_t>> pieces) {
    return [pieces, at = std::size_t{0}](std::span<const std::uint8_t>& piece) mutable {
        while (at < pieces.size() && pieces[at].empty()) ++at;
        piece = at < pieces.size() ? pieces[at++] : std::span<const std::uint8_t>{};
        return true;
    };
}

inline FileResult CaptureFiles::writeNew(std::string_view path,
                                         std::span<const std::span<const std::uint8_t>> pieces) {
    return writeNewFrom(path, PiecesOf(pieces));
}

}  // namespace rk
