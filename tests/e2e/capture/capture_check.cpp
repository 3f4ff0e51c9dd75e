// Implements: capture_check.exe, the screenshot road over the real Win32 clipboard, GDI and
// files: a picture put on the clipboard by another process (put_bitmap.exe) is stored as a .jpg
// and a .bmp that decode to that picture; with nothing new on the clipboard the screen itself is
// stored; a missing folder gives the player's message and no file; a hidden file is replaced
// with its times and attributes kept. Prints one line per check; the exit code is the number of
// failed checks.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "capture/save_it.h"
#include "capture/turbo_jpeg.h"
#include "capture_patterns.h"
#include "picture_files.h"
#include "platform/error.h"
#include "platform/win32/capture_files_win.h"
#include "platform/win32/clipboard_win.h"
#include "platform/win32/gdi_win.h"
#include "platform/win32/text_win.h"

namespace rk::e2e {
namespace {

using namespace std::chrono_literals;

int failures = 0;

void check(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    std::fflush(stdout);
    failures += ok ? 0 : 1;
}

std::wstring exeFolder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path);
    return p.substr(0, p.find_last_of(L'\\') + 1);
}

// Runs put_bitmap.exe and waits for it: the picture arrives from another process.
bool putFromOtherProcess(int seed, int w, int h) {
    std::wstring line = L"\"" + exeFolder() + L"put_bitmap.exe\" " + std::to_wstring(seed) + L" " +
                        std::to_wstring(w) + L" " + std::to_wstring(h);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        return false;
    }
    WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code == 0;
}

std::vector<std::uint8_t> readFile(const std::string& path) {
    return readPictureFile(win::toWide(path));
}

void pumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

struct Boxes {
    std::vector<std::string> texts, titles;
};

// The road as Form1 drives it: a poll tick every 15 ms, Print Screen seen at press().
struct Road {
    Road(const std::string& folder, std::chrono::milliseconds wait)
        : shots(
              CapturePlatform{clipboard, gdi, files, jpeg}, "raidkit",
              [this](std::string_view text, std::string_view title, BoxIcon) {
                  boxes.texts.emplace_back(text);
                  boxes.titles.emplace_back(title);
              },
              wait),
          settings{folder + "ScreenShot", "Jpg", "100"} {
        tick();
    }
    void tick() {
        shots.tick(std::chrono::steady_clock::now(), [this] { return settings; });
        for (const auto& name : shots.lastStored()) stored.push_back(name);
    }
    // Ticks until a file is stored or the press is given up.
    std::optional<std::string> untilStored() {
        const std::size_t before = stored.size();
        const auto end = std::chrono::steady_clock::now() + 10s;
        while (stored.size() == before && shots.waiting() &&
               std::chrono::steady_clock::now() < end) {
            pumpMessages();
            std::this_thread::sleep_for(15ms);
            tick();
        }
        if (stored.size() == before)
            return std::nullopt;
        return stored.back();
    }
    win::Win32Clipboard clipboard;
    win::Win32Gdi gdi;
    win::Win32CaptureFiles files;
    TurboJpegLibrary jpeg;
    Boxes boxes;
    Screenshots shots;
    ShotSettings settings;
    std::vector<std::string> stored;
};

std::string baseName(const std::string& path) {
    return path.substr(path.find_last_of('\\') + 1);
}

// A window over the whole screen showing pattern `seed`.
struct PatternWindow {
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_PAINT) {
            auto* self = reinterpret_cast<PatternWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (self) {
                BITMAPINFO info{};
                info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
                info.bmiHeader.biWidth = self->w;
                info.bmiHeader.biHeight = -self->h;
                info.bmiHeader.biPlanes = 1;
                info.bmiHeader.biBitCount = 32;
                SetDIBitsToDevice(dc, 0, 0, self->w, self->h, 0, 0, 0, self->h, self->px.data(),
                                  &info, DIB_RGB_COLORS);
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    PatternWindow(int seed) {
        w = GetSystemMetrics(SM_CXSCREEN);
        h = GetSystemMetrics(SM_CYSCREEN);
        px = pattern(seed, w, h);
        WNDCLASSW wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"RaidkitCapturePattern";
        RegisterClassW(&wc);
        hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"pattern",
                               WS_POPUP | WS_VISIBLE, 0, 0, w, h, nullptr, nullptr, wc.hInstance,
                               nullptr);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        InvalidateRect(hwnd, nullptr, FALSE);
        for (int i = 0; i < 40; ++i) {  // let it be shown and painted
            pumpMessages();
            Sleep(25);
        }
    }
    ~PatternWindow() { DestroyWindow(hwnd); }
    HWND hwnd{};
    int w = 0, h = 0;
    std::vector<std::uint32_t> px;
};

std::string makeFolder(const char* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::string folder = win::toUtf8(temp) + name + "\\";
    // A fresh folder: whatever an earlier run left is removed first.
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(win::toWide(folder + "*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring file = win::toWide(folder) + data.cFileName;
            SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(file.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    CreateDirectoryW(win::toWide(folder).c_str(), nullptr);
    return folder;
}

void clipboardToJpegAndBmp(const std::string& folder) {
    Road road(folder, 100ms);
    // Print Screen on Windows: the picture lands on the clipboard as the key goes down.
    check(putFromOtherProcess(1, 640, 480), "put_bitmap.exe put picture 1 on the clipboard");
    road.shots.press(std::chrono::steady_clock::now());
    auto first = road.untilStored();
    check(first && baseName(*first) == "ScreenShot1.jpg", "first shot is ScreenShot1.jpg");
    if (first) {
        auto jpg = decodeJpeg(readFile(*first));
        check(jpg && jpg->w == 640 && jpg->h == 480, "ScreenShot1.jpg decodes to 640x480");
        if (jpg) {
            const double d = meanDifference(*jpg, pattern(1, 640, 480), 480);
            check(d <= 1.5,
                  "ScreenShot1.jpg is picture 1 (mean difference " + std::to_string(d) + ")");
        }
    }

    // A picture that arrives after the press, here late (another process has to start first):
    // the poll goes on waiting for it.
    Road late(folder, 5000ms);
    late.shots.press(std::chrono::steady_clock::now());
    late.tick();
    check(late.shots.waiting() && late.stored.empty(), "press waits while nothing new has come");
    check(putFromOtherProcess(2, 320, 200), "put_bitmap.exe put picture 2 on the clipboard");
    auto second = late.untilStored();
    check(second && baseName(*second) == "ScreenShot2.jpg", "second shot is ScreenShot2.jpg");
    if (second) {
        auto jpg = decodeJpeg(readFile(*second));
        check(jpg && jpg->w == 320 && jpg->h == 200 &&
                  meanDifference(*jpg, pattern(2, 320, 200), 200) <= 1.5,
              "ScreenShot2.jpg is picture 2");
    }

    road.settings.format = "Bmp";
    road.tick();
    check(putFromOtherProcess(3, 333, 211), "put_bitmap.exe put picture 3 on the clipboard");
    road.shots.press(std::chrono::steady_clock::now());
    auto bmp = road.untilStored();
    check(bmp && baseName(*bmp) == "ScreenShot1.bmp", "with Bmp the shot is ScreenShot1.bmp");
    if (bmp) {
        auto pic = decodeBmp(readFile(*bmp));
        check(pic && pic->w == 333 && pic->h == 211 && pic->px == pattern(3, 333, 211),
              "ScreenShot1.bmp holds picture 3 exactly (odd width: padded rows)");
    }
    check(road.boxes.texts.empty() && late.boxes.texts.empty(), "no message for the player");
}

void screenWhenNothingComes(const std::string& folder) {
    PatternWindow window(4);
    Road road(folder, 100ms);
    road.settings.format = "Bmp";
    road.shots.press(std::chrono::steady_clock::now());
    auto shot = road.untilStored();
    check(shot && baseName(*shot) == "ScreenShot2.bmp",
          "nothing new on the clipboard: the screen is stored as ScreenShot2.bmp");
    if (shot) {
        auto pic = decodeBmp(readFile(*shot));
        // The lower edge may hold the virtual desktop's task bar.
        const int rows = window.h - 64;
        check(pic && pic->w == window.w && pic->h == window.h &&
                  meanDifference(*pic, window.px, rows) == 0.0,
              "the stored screen is what the screen shows (" + std::to_string(window.w) + "x" +
                  std::to_string(window.h) + ")");
    }
    road.settings.format = "Jpg";
    road.shots.press(std::chrono::steady_clock::now());
    auto jpg = road.untilStored();
    check(jpg && baseName(*jpg) == "ScreenShot3.jpg", "and as ScreenShot3.jpg");
    if (jpg) {
        auto pic = decodeJpeg(readFile(*jpg));
        check(pic && meanDifference(*pic, window.px, window.h - 64) <= 1.5,
              "ScreenShot3.jpg shows the screen");
    }
}

void missingFolder() {
    Road road("C:\\raidkit-no-such-folder\\", 100ms);
    check(putFromOtherProcess(5, 64, 64), "put_bitmap.exe put picture 5 on the clipboard");
    road.shots.press(std::chrono::steady_clock::now());
    road.untilStored();
    check(road.boxes.texts.size() == 1 &&
              road.boxes.texts[0] ==
                  "Could not save JPG, make sure your setting 'for saving folder' is correct" &&
              road.boxes.titles[0] == "Error",
          "missing folder: the player is told, titled Error");
    road.settings.format = "Bmp";
    road.tick();
    check(putFromOtherProcess(6, 64, 64), "put_bitmap.exe put picture 6 on the clipboard");
    road.shots.press(std::chrono::steady_clock::now());
    int error = 0;
    try {
        road.untilStored();
    } catch (const RaidError& e) {
        error = e.number();
    }
    check(error == 76,
          "missing folder with Bmp raises error 76 (got " + std::to_string(error) + ")");
    check(GetFileAttributesW(L"C:\\raidkit-no-such-folder") == INVALID_FILE_ATTRIBUTES,
          "and nothing was made");
}

void hiddenFileReplaced(const std::string& folder) {
    const std::string name = folder + "ScreenShot3.jpg";
    { std::ofstream(std::filesystem::path(win::toWide(name)), std::ios::binary) << "old"; }
    SYSTEMTIME st{2001, 1, 1, 1, 12, 0, 0, 0};
    FILETIME old{};
    SystemTimeToFileTime(&st, &old);
    HANDLE f = CreateFileW(win::toWide(name).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    SetFileTime(f, &old, &old, &old);
    CloseHandle(f);
    SetFileAttributesW(win::toWide(name).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    if (!(GetFileAttributesW(win::toWide(name).c_str()) & FILE_ATTRIBUTE_HIDDEN)) {
        std::printf("skip hidden files: this file system does not keep the hidden attribute\n");
        return;
    }
    Road road(folder, 100ms);
    check(putFromOtherProcess(7, 96, 64), "put_bitmap.exe put picture 7 on the clipboard");
    road.shots.press(std::chrono::steady_clock::now());
    auto shot = road.untilStored();
    check(shot && baseName(*shot) == "ScreenShot3.jpg", "a hidden ScreenShot3.jpg is replaced");
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(win::toWide(name).c_str(), GetFileExInfoStandard, &data);
    check((data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) &&
              CompareFileTime(&data.ftCreationTime, &old) == 0 &&
              CompareFileTime(&data.ftLastWriteTime, &old) == 0,
          "the new file has the old one's attributes and times");
    auto jpg = decodeJpeg(readFile(name));
    const double d = jpg ? meanDifference(*jpg, pattern(7, 96, 64), 64) : 999;
    check(d <= 1.5, "and holds picture 7 (mean difference " + std::to_string(d) + ")");

    road.tick();
    check(putFromOtherProcess(8, 96, 64), "put_bitmap.exe put picture 8 on the clipboard");
    road.shots.press(std::chrono::steady_clock::now());
    auto next = road.untilStored();
    check(next && baseName(*next) == "ScreenShot4.jpg",
          "the next shot does not overwrite it: ScreenShot4.jpg");
}

}  // namespace
}  // namespace rk::e2e

int main() {
    using namespace rk::e2e;
    const std::string folder = makeFolder("raidkit-capture-check");
    clipboardToJpegAndBmp(folder);
    screenWhenNothingComes(folder);
    missingFolder();
    hiddenFileReplaced(folder);
    std::printf("%d failed\n", failures);
    return failures;
}
