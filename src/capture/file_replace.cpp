#include "capture/file_replace.h"

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
