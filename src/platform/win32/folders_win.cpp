// Implements: rk::win::Win32Folders (SHGetKnownFolderPath, GetFileAttributesW, CreateFileW,
// CreateDirectoryW).
#include "platform/win32/folders_win.h"

#include <windows.h>
// shlobj.h and knownfolders.h need the types windows.h defines.
#include <knownfolders.h>
#include <shlobj.h>

#include <atomic>
#include <string>

#include "platform/win32/handles_win.h"
#include "platform/win32/text_win.h"

namespace rk::win {

namespace {

// A NUL inside a name would make Windows look at a shorter name than the one asked about.
bool usable(std::string_view path) {
    return !path.empty() && path.find('\0') == std::string_view::npos;
}

bool folderExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring withSlash(std::wstring folder) {
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

}  // namespace

std::string Win32Folders::knownFolder(KnownFolder folder) {
    const KNOWNFOLDERID* id = nullptr;
    switch (folder) {
        case KnownFolder::ProgramFiles:
            id = &FOLDERID_ProgramFiles;
            break;
        case KnownFolder::ProgramFilesX86:
            id = &FOLDERID_ProgramFilesX86;
            break;
        case KnownFolder::Pictures:
            id = &FOLDERID_Pictures;
            break;
        case KnownFolder::LocalAppData:
            id = &FOLDERID_LocalAppData;
            break;
    }
    if (id == nullptr)
        return {};
    PWSTR path = nullptr;
    // The memory is the shell's even when the call fails.
    const HRESULT result = SHGetKnownFolderPath(*id, 0, nullptr, &path);
    std::string out = SUCCEEDED(result) && path ? toUtf8(path) : std::string();
    CoTaskMemFree(path);
    while (out.size() > 3 && out.back() == '\\') out.pop_back();
    return out;
}

bool Win32Folders::isFolder(std::string_view path) {
    return usable(path) && folderExists(toWide(path));
}

bool Win32Folders::canCreateFileIn(std::string_view folder) {
    if (!usable(folder))
        return false;
    // Unique within this machine's running programs: our process id and a count of our tries.
    static std::atomic<unsigned> tries{0};
    const std::wstring base = withSlash(toWide(folder)) + L"~raidkit-write-check-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-";
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::wstring name = base + std::to_wstring(tries.fetch_add(1)) + L".tmp";
        // Deleted as the handle closes, so that nothing is left behind even if we are ended
        // between the two steps.
        UniqueKernelHandle file(CreateFileW(
            name.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
            FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (file) {
            file.reset();
            DeleteFileW(name.c_str());
            return true;
        }
        // A leftover of another copy of ours takes the name: try the next one.
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

bool Win32Folders::createFolder(std::string_view path) {
    if (!usable(path))
        return false;
    const std::wstring wide = toWide(path);
    // Each folder along the path in turn, from the first below the root ("C:\" or
    // "\\server\share\"), which cannot be made and is not tried.
    std::size_t from = 0;
    if (wide.rfind(L"\\\\", 0) == 0) {
        const std::size_t share = wide.find(L'\\', 2);
        from = share == std::wstring::npos ? wide.size() : wide.find(L'\\', share + 1);
    } else {
        from = wide.find(L'\\');
    }
    while (from != std::wstring::npos && from < wide.size()) {
        const std::size_t next = wide.find(L'\\', from + 1);
        const std::wstring part = wide.substr(0, next);
        if (!folderExists(part))
            CreateDirectoryW(part.c_str(), nullptr);
        from = next;
    }
    return folderExists(wide);
}

}  // namespace rk::win
