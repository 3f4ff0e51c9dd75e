// Implements: rk::win::Win32CaptureFiles (GetFileAttributesExW, CreateFileW(CREATE_NEW)/WriteFile,
// MoveFileExW, DeleteFileW, SetFileTime, SetFileAttributesW).
#include "platform/win32/capture_files_win.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/file_names.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/system_error_win.h"
#include "platform/win32/text_win.h"

namespace rk::win {

namespace {

std::uint64_t ticksOf(const FILETIME& t) {
    return std::uint64_t{t.dwHighDateTime} << 32 | t.dwLowDateTime;
}
FILETIME fileTimeOf(std::uint64_t ticks) {
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

}  // namespace

std::optional<FileEntry> Win32CaptureFiles::find(std::string_view path) {
    // An exact look-up: the file system reads these as wildcards (< > " are the DOS forms of
    // * ? and .), and no file name can hold them.
    if (!WindowsTakesPath(path))
        return std::nullopt;
    // One look at the entry: FindFirstFileW would list the folder, once per number tried in a
    // folder of hundreds of screenshots.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(toWide(path).c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return FileEntry{data.dwFileAttributes,
                     {ticksOf(data.ftCreationTime), ticksOf(data.ftLastAccessTime),
                      ticksOf(data.ftLastWriteTime)}};
}

FileResult Win32CaptureFiles::writeNewFrom(std::string_view path, const NextPiece& next) {
    if (!WindowsTakesPath(path))
        return FileResult::BadName;
    const std::wstring name = toWide(path);
    UniqueKernelHandle file(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                                        nullptr));
    if (!file)
        return fileResultOf(GetLastError());
    DWORD error = ERROR_SUCCESS;
    bool givenUp = false;
    for (std::span<const std::uint8_t> piece; error == ERROR_SUCCESS;) {
        if (!next(piece)) {
            givenUp = true;
            break;
        }
        if (piece.empty())
            break;
        const std::uint8_t* at = piece.data();
        std::size_t left = piece.size();
        while (left > 0 && error == ERROR_SUCCESS) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(left, 1u << 30));
            DWORD written = 0;
            if (!WriteFile(file.get(), at, chunk, &written, nullptr) || written != chunk) {
                error = GetLastError();
                if (error == ERROR_SUCCESS)
                    error = ERROR_DISK_FULL;
            }
            at += chunk;
            left -= chunk;
        }
    }
    // A failed close is a failed write too (network drives report late).
    if (!CloseHandle(file.release()) && error == ERROR_SUCCESS)
        error = GetLastError();
    if (error != ERROR_SUCCESS || givenUp) {
        DeleteFileW(name.c_str());
        return givenUp && error == ERROR_SUCCESS ? FileResult::Failed : fileResultOf(error);
    }
    return FileResult::Ok;
}

FileResult Win32CaptureFiles::move(std::string_view from, std::string_view to, bool replace) {
    if (!WindowsTakesPath(from) || !WindowsTakesPath(to))
        return FileResult::BadName;
    const std::wstring target = toWide(to);
    // Windows refuses to replace a read-only file; Wine's rename does not look at the mark.
    if (replace) {
        const DWORD attributes = GetFileAttributesW(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            return FileResult::AccessDenied;
    }
    if (MoveFileExW(toWide(from).c_str(), target.c_str(),
                    MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0)))
        return FileResult::Ok;
    const DWORD error = GetLastError();
    // A file another program holds open is refused as "access denied"; told as what it is, the
    // player knows to close the other program.
    if (replace && error == ERROR_ACCESS_DENIED) {
        UniqueKernelHandle probe(CreateFileW(
            target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe && GetLastError() == ERROR_SHARING_VIOLATION)
            return FileResult::SharingViolation;
    }
    return fileResultOf(error);
}

bool Win32CaptureFiles::remove(std::string_view path) {
    return WindowsTakesPath(path) && DeleteFileW(toWide(path).c_str()) != FALSE;
}

bool Win32CaptureFiles::setTimes(std::string_view path, const FileTimes& times) {
    if (!WindowsTakesPath(path))
        return false;
    UniqueKernelHandle file(CreateFileW(toWide(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return false;
    const FILETIME creation = fileTimeOf(times.creation);
    const FILETIME access = fileTimeOf(times.lastAccess);
    const FILETIME write = fileTimeOf(times.lastWrite);
    return SetFileTime(file.get(), &creation, &access, &write) != FALSE;
}

bool Win32CaptureFiles::setAttributes(std::string_view path, std::uint32_t attributes) {
    return WindowsTakesPath(path) && SetFileAttributesW(toWide(path).c_str(), attributes) != FALSE;
}

}  // namespace rk::win
