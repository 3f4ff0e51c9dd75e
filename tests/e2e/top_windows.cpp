#include "top_windows.h"

namespace e2e {

HWND find_window(std::wstring_view title) {
    const std::wstring t(title);
    return FindWindowW(nullptr, t.c_str());
}

std::wstring window_title(HWND hwnd) {
    if (hwnd == nullptr) {
        return {};
    }
    std::wstring title(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    const int n = GetWindowTextW(hwnd, title.data(), static_cast<int>(title.size()));
    title.resize(static_cast<size_t>(n > 0 ? n : 0));
    return title;
}

std::vector<WindowInfo> top_level_windows() {
    std::vector<WindowInfo> windows;
    EnumWindows(
        [](HWND hwnd, LPARAM out) -> BOOL {
            WindowInfo info;
            info.hwnd = hwnd;
            GetWindowThreadProcessId(hwnd, &info.pid);
            info.visible = IsWindowVisible(hwnd) != FALSE;
            info.title = window_title(hwnd);
            wchar_t class_name[256] = {};
            GetClassNameW(hwnd, class_name, 256);
            info.class_name = class_name;
            reinterpret_cast<std::vector<WindowInfo>*>(out)->push_back(std::move(info));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

}  // namespace e2e
