// In-memory files and folders with refusals, and the Windows-1252 code page.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "platform/text_files.h"

namespace rk {

// Paths compare without regard to case, as on Windows. A path without a backslash lies in the
// current folder, which always exists; writing needs the file's folder to exist.
class FakeTextFiles : public TextFiles {
  public:
    std::string readAll(std::string_view path) override;
    void writeReplacing(std::string_view path, std::string_view bytes) override;

    // Adds the file's folders too.
    void addFile(std::string_view path, std::string bytes);
    void addFolder(std::string_view path);
    void denyReads(std::string_view path);
    // As for a read-only file or one the game holds locked.
    void denyWrites(std::string_view path);

    std::optional<std::string> contents(std::string_view path) const;
    std::size_t fileCount() const { return files_.size(); }

  private:
    std::map<std::string, std::string> files_;  // by lower-case path
    std::set<std::string> folders_;
    std::set<std::string> deniedReads_;
    std::set<std::string> deniedWrites_;
};

// Windows' own table for 1252, including its five unassigned bytes, which it maps to the C1
// controls of the same number and back.
class Windows1252 : public AnsiCodePage {
  public:
    std::string toUtf8(std::string_view ansi) override;
    std::optional<std::string> fromUtf8(std::string_view utf8) override;
};

}  // namespace rk
