// Folders on the shell's known folders and kernel32 file attributes.
#pragma once

#include "platform/folders.h"

namespace rk::win {

class Win32Folders final : public Folders {
  public:
    std::string knownFolder(KnownFolder folder) override;
    bool isFolder(std::string_view path) override;
    bool canCreateFileIn(std::string_view folder) override;
    bool createFolder(std::string_view path) override;
};

}  // namespace rk::win
