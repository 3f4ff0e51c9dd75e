#include "capture/file_replace.h"

#include <optional>
#include <string>

#include "platform/error.h"

namespace rk {

namespace {
// Enough for leftovers of earlier runs that were cut off mid-write.
constexpr int kTempNameTries = 20;
}  // namespace

FileResult StoreNewFile(CaptureFiles& files, std::string_view target, FilePieces pieces,
                        bool replace) {
    return StoreNewFile(files, target, PiecesOf(pieces), replace);
}

void WriteWholeFile(CaptureFiles& files, std::string_view path, std::string_view bytes) {
    constexpr std::uint32_t kKept =
        fileattr::kHidden | fileattr::kSystem | fileattr::kArchive | fileattr::kNotContentIndexed;
    const std::optional<FileEntry> old = files.find(path);
    FileResult result = FileResult::AccessDenied;
    if (!old || !(old->attributes & (fileattr::kDirectory | fileattr::kReadOnly))) {
        const std::span<const std::uint8_t> content(
            reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        const std::span<const std::uint8_t> pieces[] = {content};
        result = StoreNewFile(files, path, pieces, old.has_value());
    }
    if (result != FileResult::Ok)
        RaiseFileError(result, std::string(path) + ": " + std::string(FileErrorOf(result).text));
    if (old && (old->attributes & kKept))
        files.setAttributes(path, old->attributes & kKept);
}

FileResult StoreNewFile(CaptureFiles& files, std::string_view target, const NextPiece& next,
                        bool replace) {
    std::string temp;
    FileResult written = FileResult::Exists;
    // A taken name is found before any piece is asked for, so the next name starts afresh.
    for (int i = 1; i <= kTempNameTries && written == FileResult::Exists; ++i) {
        temp = std::string(target) + ".rktmp" + (i > 1 ? std::to_string(i) : "");
        written = files.writeNewFrom(temp, next);
    }
    if (written != FileResult::Ok)
        return written;
    const FileResult moved = files.move(temp, target, replace);
    if (moved != FileResult::Ok)
        files.remove(temp);
    return moved;
}

}  // namespace rk
