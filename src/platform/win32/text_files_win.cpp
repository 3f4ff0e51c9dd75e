// Implements: rk::win::Win32TextFiles (CreateFileW, ReadFile, WriteFile, GetTempFileNameW,
// MoveFileExW) and rk::win::Win32AnsiCodePage (MultiByteToWideChar, WideCharToMultiByte, CP_ACP).
#include "platform/win32/text_files_win.h"

#include <windows.h>

#include <climits>
#include <string>

#include "platform/error.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/system_error_win.h"
#include "platform/win32/text_win.h"

namespace rk::win {

namespace {

// Far beyond any profile; keeps a wrongly chosen file from taking all memory.
constexpr LONGLONG kLargestFile = 64LL * 1024 * 1024;
constexpr DWORD kChunk = 1 << 20;
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

[[noreturn]] void raise(DWORD code, std::string_view path) {
    raiseFileError(code, path);
}

[[noreturn]] void raiseLastError(std::string_view path) {
    raise(GetLastError(), path);
}

// A NUL inside the name would make Windows open a shorter name than the one asked for.
std::wstring checkedPath(std::string_view path) {
    if (path.empty() || path.find('\0') != std::string_view::npos)
        raise(ERROR_INVALID_NAME, path);
    return toWide(path);
}

std::wstring fullPathOf(const std::wstring& path, std::string_view original) {
    DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        raiseLastError(original);
    std::wstring full(needed, L'\0');
    DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        raiseLastError(original);
    full.resize(length);
    return full;
}

// The new file beside the target, deleted again unless it took the target's place.
class PendingFile {
  public:
    explicit PendingFile(std::wstring path) : path_(std::move(path)) {}
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    ~PendingFile() {
        if (!path_.empty())
            DeleteFileW(path_.c_str());
    }
    const std::wstring& path() const { return path_; }
    void placed() { path_.clear(); }

  private:
    std::wstring path_;
};

void writeAll(HANDLE file, std::string_view bytes, std::string_view path) {
    while (!bytes.empty()) {
        DWORD chunk = bytes.size() < kChunk ? static_cast<DWORD>(bytes.size()) : kChunk;
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr))
            raiseLastError(path);
        if (written == 0)
            raise(ERROR_WRITE_FAULT, path);
        bytes.remove_prefix(written);
    }
}

}  // namespace

std::string Win32TextFiles::readAll(std::string_view path) {
    // Others may hold the file open, the game among them.
    UniqueKernelHandle file(CreateFileW(checkedPath(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        raiseLastError(path);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        raiseLastError(path);
    if (size.QuadPart > kLargestFile)
        raise(ERROR_FILE_TOO_LARGE, path);

    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
    std::string chunk(kChunk, '\0');
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), chunk.data(), kChunk, &got, nullptr))
            raiseLastError(path);
        if (got == 0)
            return bytes;
        bytes.append(chunk, 0, got);
        if (bytes.size() > static_cast<std::size_t>(kLargestFile))
            raise(ERROR_FILE_TOO_LARGE, path);
    }
}

void Win32TextFiles::writeReplacing(std::string_view path, std::string_view bytes) {
    const std::wstring target = fullPathOf(checkedPath(path), path);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND)
        raiseLastError(path);
    // Replacing would go round the read-only mark that opening for writing honours.
    if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        raise(ERROR_ACCESS_DENIED, path);
    // A file another program holds open is told as such (a sharing violation), not as the
    // refused rename it would otherwise end in.
    if (exists) {
        UniqueKernelHandle probe(CreateFileW(
            target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe)
            raiseLastError(path);
    }

    // In the target's folder, so that taking its place is a rename on the same volume.
    const std::wstring folder = target.substr(0, target.find_last_of(L'\\') + 1);
    wchar_t pendingName[MAX_PATH];
    if (!GetTempFileNameW(folder.c_str(), L"rk", 0, pendingName))
        raiseLastError(path);
    PendingFile pending(pendingName);
    {
        UniqueKernelHandle file(CreateFileW(pending.path().c_str(), GENERIC_WRITE, 0, nullptr,
                                            TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            raiseLastError(path);
        writeAll(file.get(), bytes, path);
        if (!FlushFileBuffers(file.get()))
            raiseLastError(path);
    }
    // The old file's marks go with its content. A rename rather than ReplaceFileW: Wine's
    // ReplaceFileW leaves a stray file in the folder whenever it fails.
    if (exists && (attributes & kKeptAttributes))
        SetFileAttributesW(pending.path().c_str(), attributes & kKeptAttributes);
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (exists ? MOVEFILE_REPLACE_EXISTING : 0);
    const BOOL placed = MoveFileExW(pending.path().c_str(), target.c_str(), flags);
    if (!placed)
        raiseLastError(path);
    pending.placed();
}

std::string Win32AnsiCodePage::toUtf8(std::string_view ansi) {
    if (ansi.empty())
        return {};
    if (ansi.size() > static_cast<std::size_t>(INT_MAX))
        throw RaidError(err::kOverflow, "Raidkit", "The text is too long to convert.");
    const int inLength = static_cast<int>(ansi.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), inLength, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), inLength, wide.data(), length);
    return win::toUtf8(wide);
}

std::optional<std::string> Win32AnsiCodePage::fromUtf8(std::string_view utf8) {
    if (utf8.empty())
        return std::string();
    const std::wstring wide = toWide(utf8);
    // A system set to UTF-8 as its ANSI code page stores every character; Windows also refuses
    // the used-default flag for it.
    if (GetACP() == CP_UTF8)
        return win::toUtf8(wide);
    if (wide.size() > static_cast<std::size_t>(INT_MAX))
        return std::nullopt;
    const int inLength = static_cast<int>(wide.size());
    // No best fit: "é" must not quietly become "e" in a player's name.
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), inLength,
                                           nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault)
        return std::nullopt;
    std::string ansi(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), inLength, ansi.data(),
                            length, nullptr, &usedDefault) != length ||
        usedDefault)
        return std::nullopt;
    return ansi;
}

}  // namespace rk::win
