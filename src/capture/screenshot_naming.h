// How screenshot files are named: prefix + the smallest free number from 1 + extension.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "platform/capture_files.h"

namespace rk {

// prefix, then n in decimal without sign or padding, then the extension; nothing between.
std::string ScreenshotName(std::string_view prefix, std::uint64_t n, std::string_view extension);

// Whether what is found under a name keeps its number from being used. Ordinary files count,
// and so do files marked only as system files, which Explorer shows; a screenshot must never
// replace a file the player can see. Folders count because no file can take their place.
// Hidden files do not count: the screenshot replaces them, taking over their times and
// attributes.
bool TakesItsNumber(const std::optional<FileEntry>& entry);

class ScreenshotNaming {
  public:
    // The full name of the next screenshot. No counter is kept: the search starts at 1 every
    // time, so the first gap is filled first.
    std::string next(CaptureFiles& files, std::string_view prefix, std::string_view extension);
    // Whether the shot stored under the name next() gave last may replace a hidden file there:
    // not where a shot of ours was, which a look-up that failed may have shown as gone.
    bool mayReplace() const { return mayReplace_; }

    // A file this program has just stored. Its number stays taken while the file exists, even
    // when it took over a hidden file's attributes: a second quick press must not replace it.
    void stored(std::string_view path);

  private:
    std::set<std::string> stored_;  // names folded to lower case
    bool mayReplace_ = true;
};

}  // namespace rk
