// Implements: the benchmark's Windows platform: the real clipboard, GDI and files of the Win32
// layer; the picture is put on the clipboard as Print Screen puts it, a screen-format bitmap.
#include <windows.h>

#include "bench_platform.h"
#include "capture/turbo_jpeg.h"
#include "platform/win32/capture_files_win.h"
#include "platform/win32/clipboard_win.h"
#include "platform/win32/gdi_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/text_win.h"

namespace rk::bench {
namespace {

class WinBench : public BenchPlatform {
  public:
    WinBench() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = win::toUtf8(temp) + "raidkit-capture-bench\\";
        CreateDirectoryW(win::toWide(folder_).c_str(), nullptr);
        // Clipboard contents need an owner window; a message-only one will do.
        owner_.reset(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     nullptr, nullptr));
    }
    ~WinBench() override { RemoveDirectoryW(win::toWide(folder_).c_str()); }

    CapturePlatform capture() override { return {clipboard_, gdi_, files_, jpeg_}; }

    void putOnClipboard(const Picture& p) override {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = p.width;
        info.bmiHeader.biHeight = -p.height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        win::ScreenDc screen;
        win::UniqueGdiBitmap bitmap(CreateCompatibleBitmap(screen.get(), p.width, p.height));
        SetDIBits(screen.get(), bitmap.get(), 0, p.height, p.pixels.data(), &info, DIB_RGB_COLORS);
        {
            win::ClipboardSession session(owner_.get());
            if (session && EmptyClipboard() && SetClipboardData(CF_BITMAP, bitmap.get()))
                bitmap.release();
        }
        // The program's message loop hands the clipboard its change notice; here that is us.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    std::string folder() override { return folder_; }
    void removeFile(const std::string& path) override { DeleteFileW(win::toWide(path).c_str()); }
    void plainWrite(const std::string& path, std::span<const std::uint8_t> bytes) override {
        HANDLE f = CreateFileW(win::toWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f == INVALID_HANDLE_VALUE)
            return;
        DWORD written = 0;
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(f);
    }
    std::string name() override { return "Windows (Win32 clipboard, GDI and files)"; }

  private:
    win::UniqueWindow owner_;
    win::Win32Clipboard clipboard_;
    win::Win32Gdi gdi_;
    win::Win32CaptureFiles files_;
    TurboJpegLibrary jpeg_;
    std::string folder_;
};

}  // namespace

std::unique_ptr<BenchPlatform> makeBenchPlatform() {
    return std::make_unique<WinBench>();
}

}  // namespace rk::bench
