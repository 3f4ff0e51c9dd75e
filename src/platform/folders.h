// Folders as the game-folder rule needs them: the system's known folders, whether a folder
// exists, whether new files may be made in it, and making one.
#pragma once

#include <string>
#include <string_view>

namespace rk {

enum class KnownFolder {
    ProgramFiles,     // this program's own "Program Files"
    ProgramFilesX86,  // where 32-bit programs are installed ("Program Files (x86)")
    Pictures,         // the player's Pictures
    LocalAppData,     // the player's local application data (holds the VirtualStore)
};

class Folders {
  public:
    virtual ~Folders() = default;
    // Full path without a trailing backslash; "" when the system has no such folder.
    virtual std::string knownFolder(KnownFolder folder) = 0;
    // True for an existing folder (not a file).
    virtual bool isFolder(std::string_view path) = 0;
    // Whether this program may make a new file in the folder: a uniquely named file is made
    // there and deleted again. False for a folder that does not exist.
    virtual bool canCreateFileIn(std::string_view folder) = 0;
    // Makes the folder and any missing parents; true when it exists afterwards.
    virtual bool createFolder(std::string_view path) = 0;
};

}  // namespace rk
