// Implements: fileResultOf, raiseFileError, systemErrorText and hresultText (FormatMessageW).
#include "platform/win32/system_error_win.h"

#include <cstdio>

#include "platform/win32/text_win.h"

namespace rk::win {

FileResult fileResultOf(DWORD code) {
    switch (code) {
        case ERROR_SUCCESS:
            return FileResult::Ok;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return FileResult::Exists;
        case ERROR_FILE_NOT_FOUND:
            return FileResult::FileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_DIRECTORY:
            return FileResult::PathNotFound;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
            return FileResult::BadName;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return FileResult::AccessDenied;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return FileResult::SharingViolation;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return FileResult::DiskFull;
        default:
            return FileResult::Failed;
    }
}

void raiseFileError(DWORD code, std::string_view what) {
    RaiseFileError(fileResultOf(code), std::string(what) + ": " + systemErrorText(code));
}

std::string hresultText(HRESULT hr) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08lX", static_cast<unsigned long>(hr));
    return buffer;
}

std::string systemErrorText(DWORD code) {
    wchar_t buffer[512];
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                       buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    std::wstring text(buffer, length);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    if (text.empty())
        return "error " + hresultText(static_cast<HRESULT>(code));
    return toUtf8(text);
}

}  // namespace rk::win
