// The common open and save dialogs.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace rk {

struct FileFilter {
    std::string caption;
    std::string pattern;  // e.g. "*.cfg"; empty for an entry without a pattern of its own
};

struct FileDialogOptions {
    std::string title;
    std::string fileName;       // shown in the name box; may hold a folder
    std::string initialFolder;  // empty: the dialog's own choice
    std::vector<FileFilter> filters;
};

class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    // Modal. The chosen full file name, or nullopt when the player cancelled.
    virtual std::optional<std::string> saveFile(const FileDialogOptions& options) = 0;
    virtual std::optional<std::string> openFile(const FileDialogOptions& options) = 0;
};

}  // namespace rk
