#include "capture/screenshot_naming.h"

#include <algorithm>

namespace rk {

namespace {
// File names compare without regard to case on Windows.
std::string folded(std::string_view path) {
    std::string out(path);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return out;
}
}  // namespace

std::string ScreenshotName(std::string_view prefix, std::uint64_t n, std::string_view extension) {
    std::string name(prefix);
    name += std::to_string(n);
    name += extension;
    return name;
}

bool TakesItsNumber(const std::optional<FileEntry>& entry) {
    if (!entry)
        return false;
    const bool folder = entry->attributes & fileattr::kDirectory;
    const bool hidden = entry->attributes & fileattr::kHidden;
    return folder || !hidden;
}

std::string ScreenshotNaming::next(CaptureFiles& files, std::string_view prefix,
                                   std::string_view extension) {
    for (std::uint64_t n = 1;; ++n) {
        std::string name = ScreenshotName(prefix, n, extension);
        const std::optional<FileEntry> entry = files.find(name);
        if (TakesItsNumber(entry))
            continue;
        auto ours = stored_.find(folded(name));
        mayReplace_ = ours == stored_.end();
        if (ours != stored_.end()) {
            if (entry)
                continue;
            // Gone since (the player deleted it): the gap is free again.
            stored_.erase(ours);
        }
        return name;
    }
}

void ScreenshotNaming::stored(std::string_view path) {
    stored_.insert(folded(path));
}

}  // namespace rk
