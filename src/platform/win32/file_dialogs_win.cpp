// Implements: rk::win::Win32FileDialogs (GetOpenFileNameW, GetSaveFileNameW, Explorer style,
// from comdlg32.dll loaded on first use).
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

// comdlg32, and the spooler it brings along, is loaded when a dialog is first opened: most
// sessions never open one, and in tray mode every resident megabyte counts.
struct CommonDialogs {
    using FileDialog = BOOL(WINAPI*)(LPOPENFILENAMEW);
    using LastError = DWORD(WINAPI*)();
    FileDialog open = nullptr;
    FileDialog save = nullptr;
    LastError error = nullptr;
};

template <class Fn>
Fn entry(HMODULE module, const char* name) {
    // The cast through void* keeps -Wcast-function-type quiet: FARPROC is a placeholder type.
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const CommonDialogs& commonDialogs() {
    static const CommonDialogs loaded = [] {
        CommonDialogs d;
        HMODULE module = LoadLibraryExW(L"comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (module == nullptr)
            return d;
        d.open = entry<CommonDialogs::FileDialog>(module, "GetOpenFileNameW");
        d.save = entry<CommonDialogs::FileDialog>(module, "GetSaveFileNameW");
        d.error = entry<CommonDialogs::LastError>(module, "CommDlgExtendedError");
        return d;
    }();
    return loaded;
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

    const CommonDialogs& dialogs = commonDialogs();
    if (!dialogs.open || !dialogs.save || !dialogs.error) {
        throw RaidError(CDERR_INITIALIZATION, "CommonDialog",
                        "The file dialog could not be loaded (comdlg32.dll).");
    }
    if (!(save ? dialogs.save(&ofn) : dialogs.open(&ofn))) {
        const DWORD code = dialogs.error();
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
