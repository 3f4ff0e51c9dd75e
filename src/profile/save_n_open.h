// SaveNOpen: profile files as lines of bytes in their own code page, read and written whole.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_files.h"

namespace rk {

// A file's lines in order, without their line ends. Kept as the file's bytes so that every line
// the editor does not change goes back exactly as it came, whatever the code page.
using FileLines = std::vector<std::string>;

// A carriage return, or a carriage return and line feed, ends a line; a lone line feed is part of
// its line. A line end at the very end of the file does not start another line.
FileLines SplitLines(std::string_view bytes);

// Every line followed by a carriage return and line feed.
std::string JoinLines(const FileLines& lines);

// All lines of the file, however many. A file that cannot be read gives no lines, as an empty one
// does: neither is a profile.
FileLines LoadLines(TextFiles& files, std::string_view path);

// Makes bytes the file's whole content. nullopt once written; otherwise why not, the file being
// left as it was.
std::optional<std::string> SaveText(TextFiles& files, std::string_view path,
                                    std::string_view bytes);

}  // namespace rk
