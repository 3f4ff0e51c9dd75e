// Implements: rk::win::Win32TextFiles::readAll (CreateFileW, ReadFile) and
// rk::win::Win32AnsiCodePage (MultiByteToWideChar, WideCharToMultiByte, CP_ACP).
#include "platform/win32/text_files_win.h"

#include <windows.h>

#include <climits>
#include <string>

#include "platform/error.h"
#include "platform/file_names.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/system_error_win.h"
#include "platform/win32/text_win.h"

namespace rk::win {

namespace {

// Far beyond any profile; keeps a wrongly chosen file from taking all memory.
constexpr LONGLONG kLargestFile = 64LL * 1024 * 1024;
constexpr DWORD kChunk = 1 << 20;

[[noreturn]] void raiseLastError(std::string_view path) {
    raiseFileError(GetLastError(), path);
}

// A NUL inside the name would make Windows open a shorter name than the one asked for, a
// device name a device.
std::wstring checkedPath(std::string_view path) {
    if (!WindowsTakesPath(path))
        raiseFileError(ERROR_INVALID_NAME, path);
    return toWide(path);
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
        raiseFileError(ERROR_FILE_TOO_LARGE, path);

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
            raiseFileError(ERROR_FILE_TOO_LARGE, path);
    }
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
