// In-memory files and folders with refusals, and the Windows-1252 code page.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fake_capture_files.h"
#include "platform/text_files.h"

namespace rk {

// Files and folders as the capture-files fake holds them (so the program's one write-then-replace
// runs against them), read whole as Windows' answers: a folder or a denied file is "access
// denied" there (75), a file another program holds open a sharing violation (70). Paths compare
// without regard to case; a path without a backslash lies in the current folder, which always
// exists.
class FakeTextFiles : public TextFilesOver<FakeCaptureFiles>, public Faultable {
  public:
    FakeTextFiles();

    std::string readAll(std::string_view path) override;

    // Adds the file's folders too.
    void addFile(std::string_view path, std::string bytes);
    void addFolder(std::string_view path);
    void denyReads(std::string_view path);
    // Marks the file read-only.
    void denyWrites(std::string_view path);
    // Held open by another program without sharing: neither read nor replaced.
    void lock(std::string_view path);
    // Lifts the denials and the lock.
    void allow(std::string_view path);

    std::optional<std::string> contents(std::string_view path) const;
    // The files and folders themselves, for a plan of faults and for checks over all files.
    FakeCaptureFiles& store() { return files_; }
    std::size_t fileCount() const { return files_.fileCount(); }
    // The (lower-case) names of the files directly in a folder, sorted.
    std::vector<std::string> filesIn(std::string_view folder) const;

  private:
    std::set<std::string> deniedReads_;
};

// Windows' own table for 1252, including its five unassigned bytes, which it maps to the C1
// controls of the same number and back. Malformed UTF-8 (overlong forms and surrogates too) has
// no form, as Windows' decoder turns it into U+FFFD, which 1252 lacks.
class Windows1252 : public AnsiCodePage {
  public:
    std::string toUtf8(std::string_view ansi) override;
    std::optional<std::string> fromUtf8(std::string_view utf8) override;
};

}  // namespace rk
