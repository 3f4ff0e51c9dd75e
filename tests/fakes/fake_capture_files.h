// Folders and files as state: files with their bytes, attributes and times, folders that may
// refuse new files, a disk that can fill up, files held open by other programs. Names compare
// without regard to case; a drive root ("C:") always exists.
#pragma once

#include <cstdint>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fault_plan.h"
#include "platform/capture_files.h"

namespace rk {

class FakeCaptureFiles : public CaptureFiles, public Faultable {
  public:
    struct File {
        std::string name;  // as created
        std::vector<std::uint8_t> bytes;
        std::uint32_t attributes = fileattr::kArchive;
        FileTimes times;
    };

    std::optional<FileEntry> find(std::string_view path) override;
    FileResult writeNewFrom(std::string_view path, const NextPiece& next) override;
    FileResult move(std::string_view from, std::string_view to, bool replace) override;
    bool remove(std::string_view path) override;
    bool setTimes(std::string_view path, const FileTimes& times) override;
    bool setAttributes(std::string_view path, std::uint32_t attributes) override;

    // writable false: the folder refuses new files (no write permission, a read-only medium).
    void addFolder(std::string_view path, bool writable = true, std::uint32_t attributes = 0);
    void addFile(std::string_view path, std::vector<std::uint8_t> bytes = {},
                 std::uint32_t attributes = fileattr::kArchive, FileTimes times = {});
    const File* file(std::string_view path) const;
    bool isFolder(std::string_view path) const { return folderExists(key(path)); }
    // An existing folder that takes new files.
    bool takesFiles(std::string_view path) const;
    // The names of the files directly in a folder, as created, sorted.
    std::vector<std::string> filesIn(std::string_view folder) const;
    std::size_t fileCount() const { return files_.size(); }
    // Every file's bytes, by its full name in lower case.
    std::map<std::string, std::vector<std::uint8_t>> contents() const;

    // The time given to files as they are made or written; moves on with every write.
    std::uint64_t now = 133'500'000'000'000'000ull;
    // Bytes the disk can still take.
    std::size_t spaceLeft = std::numeric_limits<std::size_t>::max();
    // Files another program holds open: they can be neither replaced nor removed.
    std::set<std::string> openElsewhere;

  private:
    struct Folder {
        bool writable = true;
        std::uint32_t attributes = 0;
    };
    static std::string key(std::string_view path);
    static std::string parentKey(std::string_view path);
    bool folderExists(const std::string& folderKey) const;

    std::map<std::string, Folder> folders_;
    std::map<std::string, File> files_;
};

}  // namespace rk
