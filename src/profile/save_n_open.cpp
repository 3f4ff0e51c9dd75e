#include "profile/save_n_open.h"

#include "capture/file_replace.h"
#include "platform/error.h"

namespace rk {

FileLines SplitLines(std::string_view bytes) {
    FileLines lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t cr = bytes.find('\r', start);
        if (cr == std::string_view::npos) {
            lines.emplace_back(bytes.substr(start));
            break;
        }
        lines.emplace_back(bytes.substr(start, cr - start));
        start = cr + 1;
        if (start < bytes.size() && bytes[start] == '\n')
            ++start;
    }
    return lines;
}

std::string JoinLines(const FileLines& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

FileLines LoadLines(TextFiles& files, std::string_view path) {
    try {
        return SplitLines(files.readAll(path));
    } catch (const RaidError&) {
        return {};
    }
}

std::optional<std::string> SaveText(TextFiles& files, std::string_view path,
                                    std::string_view bytes) {
    try {
        WriteWholeFile(files, path, bytes);
        return std::nullopt;
    } catch (const RaidError& e) {
        return e.description();
    }
}

}  // namespace rk
