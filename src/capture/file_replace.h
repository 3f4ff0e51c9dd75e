// Storing a finished file under its name without ever leaving a half-written one there: the
// bytes go to a new file beside it, which is then moved into place.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/capture_files.h"

namespace rk {

using FilePieces = std::span<const std::span<const std::uint8_t>>;

// Writes the pieces as a new file beside target and moves it onto target. With replace an
// existing file of that name is replaced in the same step; without it an existing entry is
// left untouched and the result is Exists. On any failure nothing is left behind and an
// earlier file of that name is as it was.
FileResult StoreNewFile(CaptureFiles& files, std::string_view target, FilePieces pieces,
                        bool replace);
// The same for a file whose pieces are still being made (see NextPiece): they are written
// beside target as they come.
FileResult StoreNewFile(CaptureFiles& files, std::string_view target, const NextPiece& next,
                        bool replace);

// Makes bytes the whole content of the file at path, created or replaced through
// StoreNewFile. A folder or a read-only file of that name is refused (AccessDenied), as
// opening it for writing would be; an old file's hidden, system, archive and not-indexed marks
// go with its content. Raises the failure as "<path>: <what went wrong>".
void WriteWholeFile(CaptureFiles& files, std::string_view path, std::string_view bytes);

}  // namespace rk
