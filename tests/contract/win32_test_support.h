// Helpers for the tests that run the Win32 platform layer for real (under Wine or Windows).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/handles_win.h"
#include "platform/win32/text_win.h"

namespace rk::contract {

// Delivers whatever is queued for this thread, waiting briefly for something to arrive.
inline void pumpMessages() {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// "<base> #<pid>-<n>": unique across the tests of this run and other runs on the same desktop.
// A window class of this program's own; registering it again in a later test is harmless.
inline void registerWindowClass(const wchar_t* name, WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

inline std::string uniqueName(std::string_view base) {
    static int counter = 0;
    return std::string(base) + " #" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++counter);
}

// Files as another program writes and reads them, straight through kernel32.
inline bool writeFileBytes(std::string_view path, std::string_view bytes) {
    win::UniqueKernelHandle file(CreateFileW(win::toWide(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
           written == bytes.size();
}

inline std::optional<std::string> readFileBytes(std::string_view path) {
    win::UniqueKernelHandle file(CreateFileW(win::toWide(path).c_str(), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::nullopt;
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    return bytes;
}

// The names of the files, not folders, directly in a folder.
inline std::vector<std::string> fileNamesIn(std::string_view folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((win::toWide(folder) + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(win::toUtf8(found.cFileName));
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}

// A folder of this test's own under the temporary folder, removed with everything in it.
class ScratchFolder {
  public:
    ScratchFolder() {
        wchar_t temp[MAX_PATH + 1];
        const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
        path_ = win::toUtf8(std::wstring_view(temp, n)) + uniqueName("RaidkitContract");
        CreateDirectoryW(win::toWide(path_).c_str(), nullptr);
    }
    ~ScratchFolder() { removeTree(win::toWide(path_)); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(std::string_view name) const { return path_ + "\\" + std::string(name); }

  private:
    static void removeTree(const std::wstring& folder) {
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                const std::wstring full = folder + L"\\" + name;
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    removeTree(full);
                } else {
                    DeleteFileW(full.c_str());
                }
            } while (FindNextFileW(find, &found));
            FindClose(find);
        }
        RemoveDirectoryW(folder.c_str());
    }

    std::string path_;
};

}  // namespace rk::contract
