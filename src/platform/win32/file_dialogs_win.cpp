// Implements: rk::win::Win32FileDialogs (GetOpenFileNameW, GetSaveFileNameW, Explorer style).
#include "platform/win32/file_dialogs_win.h"

#include <windows.h>

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/error.h"
#include "platform/win32/text_win.h"

namespace rk::win {

namespace {

// Room for any path the Explorer-style dialog can return.
constexpr std::size_t kNameCapacity = 32768;

// For a filter entry without a pattern of its own: '|' cannot occur in a file name, so such an
// entry lists folders only, which is what choosing a folder wants.
constexpr wchar_t kNoFilesPattern[] = L"|";

// caption NUL pattern NUL ... NUL, as lpstrFilter wants it.
std::wstring filterList(const std::vector<FileFilter>& filters) {
    std::wstring list;
    for (const FileFilter& filter : filters) {
        list += toWide(filter.caption);
        list.push_back(L'\0');
        list += filter.pattern.empty() ? std::wstring(kNoFilesPattern) : toWide(filter.pattern);
        list.push_back(L'\0');
    }
    list.push_back(L'\0');
    return list;
}

std::string describe(DWORD code) {
    switch (code) {
        case FNERR_INVALIDFILENAME:
            return "The file name is not valid.";
        case FNERR_BUFFERTOOSMALL:
            return "The file name is too long.";
        default:
            break;
    }
    char text[64];
    std::snprintf(text, sizeof text, "The file dialog failed (code 0x%04lX).",
                  static_cast<unsigned long>(code));
    return text;
}

std::optional<std::string> run(HWND owner, const FileDialogOptions& options, bool save) {
    const std::wstring title = toWide(options.title);
    const std::wstring folder = toWide(options.initialFolder);
    const std::wstring filters = filterList(options.filters);
    std::wstring name(kNameCapacity, L'\0');
    const std::wstring initialName = toWide(options.fileName);
    std::copy_n(initialName.begin(), std::min(initialName.size(), kNameCapacity - 1), name.begin());

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = options.filters.empty() ? nullptr : filters.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(kNameCapacity);
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    // The dialog must not move the process's current folder under the rest of the program.
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLESIZING;

    if (!(save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn))) {
        const DWORD code = CommDlgExtendedError();
        if (code == 0)
            return std::nullopt;  // cancelled
        throw RaidError(static_cast<int>(code), "CommonDialog", describe(code));
    }
    return toUtf8(name.c_str());
}

}  // namespace

std::optional<std::string> Win32FileDialogs::saveFile(const FileDialogOptions& options) {
    return run(owner_, options, true);
}

std::optional<std::string> Win32FileDialogs::openFile(const FileDialogOptions& options) {
    return run(owner_, options, false);
}

}  // namespace rk::win
