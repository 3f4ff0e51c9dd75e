// How a file or program the system was asked for could not be had, and the one numbering of
// those failures: the numbers and texts of the classic runtime, which players may know from
// similar tools.
#pragma once

#include <string>
#include <string_view>

#include "platform/error.h"

namespace rk {

enum class FileResult {
    Ok,
    Exists,  // the name is taken (by a file or a folder)
    FileNotFound,
    PathNotFound,
    BadName,           // no name a file can have
    AccessDenied,      // a read-only file, a folder, or rights the player lacks
    SharingViolation,  // held open by another program
    DiskFull,
    Failed,
};

struct FileErrorNumber {
    int number;
    std::string_view text;
};

constexpr FileErrorNumber FileErrorOf(FileResult result) {
    switch (result) {
        case FileResult::Exists:
            return {err::kFileAlreadyExists, "File already exists"};
        case FileResult::FileNotFound:
            return {err::kFileNotFound, "File not found"};
        case FileResult::PathNotFound:
            return {err::kPathNotFound, "Path not found"};
        case FileResult::BadName:
            return {err::kBadFileName, "Bad file name or number"};
        case FileResult::SharingViolation:
            return {err::kPermissionDenied, "Permission denied"};
        case FileResult::DiskFull:
            return {err::kDiskFull, "Disk full"};
        case FileResult::Ok:
        case FileResult::AccessDenied:
        case FileResult::Failed:
            break;
    }
    return {err::kPathFileAccess, "Path/File access error"};
}

// Raises the failure with its number; the description is the table's text unless one that
// says more (the path, the system's own words) is given.
[[noreturn]] inline void RaiseFileError(FileResult result, std::string description = {}) {
    const FileErrorNumber error = FileErrorOf(result);
    throw RaidError(error.number, "Raidkit",
                    description.empty() ? std::string(error.text) : std::move(description));
}

}  // namespace rk
