// Implements: rk::win::Win32Files (GetFileAttributesW).
#include "platform/win32/files_win.h"

#include <windows.h>

#include "platform/win32/text_win.h"

namespace rk::win {

bool Win32Files::isFile(std::string_view path) {
    // A NUL inside the name would make Windows test a shorter name than the one asked about.
    if (path.empty() || path.find('\0') != std::string_view::npos)
        return false;
    const DWORD attributes = GetFileAttributesW(toWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace rk::win
