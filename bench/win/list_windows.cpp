// Prints every top-level window as "visible<TAB>class<TAB>title" (UTF-8), one a line, so the
// bench can wait for its stand-ins and see whether the program under test sits in a message box.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string utf8(const wchar_t* text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    out.pop_back();  // the terminating NUL
    return out;
}

BOOL CALLBACK printWindow(HWND window, LPARAM) {
    wchar_t title[256] = L"";
    wchar_t cls[256] = L"";
    GetWindowTextW(window, title, 256);
    GetClassNameW(window, cls, 256);
    std::printf("%d\t%s\t%s\n", IsWindowVisible(window) ? 1 : 0, utf8(cls).c_str(),
                utf8(title).c_str());
    return TRUE;
}

}  // namespace

int main() {
    EnumWindows(printWindow, 0);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
