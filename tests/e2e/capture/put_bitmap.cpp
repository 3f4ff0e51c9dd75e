// Implements: put_bitmap.exe <seed> <width> <height> [--press]: puts pattern <seed> on the
// clipboard as a screen-format bitmap (CF_BITMAP), from a process of its own. With --press it
// does it as Windows answers Print Screen: the key goes down, the picture lands on the
// clipboard, the key comes up.
#include <windows.h>

#include <cwchar>

#include "capture_patterns.h"

namespace {

// Print Screen as a keyboard sends it: DirectInput reads the scan code (E0 37), windows the
// virtual key.
bool printScreenKey(bool up) {
    INPUT key{};
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_SNAPSHOT;
    key.ki.wScan = 0x37;
    key.ki.dwFlags = KEYEVENTF_EXTENDEDKEY | (up ? KEYEVENTF_KEYUP : 0);
    return SendInput(1, &key, sizeof key) == 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool press = argc == 5 && std::wcscmp(argv[4], L"--press") == 0;
    if (argc != 4 && !press)
        return 2;
    const int seed = _wtoi(argv[1]), w = _wtoi(argv[2]), h = _wtoi(argv[3]);
    if (w < 2 || h < 2)
        return 2;
    const auto pixels = rk::e2e::pattern(seed, w, h);

    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    const int rows = SetDIBits(screen, bitmap, 0, h, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (!bitmap || rows != h)
        return 3;

    // Clipboard data needs an owner window; a message-only one will do.
    HWND owner =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    // Wine's clipboard manager may hold the clipboard for a while as it hands an earlier
    // picture on to X: wait for it (up to 5 s) before the key goes down, so that the picture
    // lands as soon after the key as Windows puts it, well within a reader's 100 ms wait.
    bool open = false;
    for (int attempt = 0; attempt < 250 && !open; ++attempt) {
        open = OpenClipboard(owner);
        if (!open)
            Sleep(20);
    }
    const DWORD down = GetTickCount();
    if (press && !printScreenKey(false)) {
        std::fwprintf(stderr, L"put_bitmap: SendInput refused Print Screen\n");
        if (open)
            CloseClipboard();
        return 5;
    }
    bool put = false;
    if (open) {
        put = EmptyClipboard() && SetClipboardData(CF_BITMAP, bitmap);
        CloseClipboard();
    }
    if (!put)
        DeleteObject(bitmap);
    DestroyWindow(owner);
    if (press) {
        // Held across a few 15 ms polls.
        const DWORD held = GetTickCount() - down;
        if (held < 100)
            Sleep(100 - held);
        if (!printScreenKey(true))
            return 5;
    }
    if (!put)
        std::fwprintf(stderr, L"put_bitmap: the clipboard could not be opened and set\n");
    return put ? 0 : 4;
}
