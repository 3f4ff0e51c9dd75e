// dinput_probe.exe: reads the keyboard the way the program does (DirectInput 8, background,
// non-exclusive, from a hidden window) and appends "down 0xNN" / "up 0xNN" to --out for every
// change of a key's DirectInput code. It first writes "ready" once the device is acquired.
// It lets the scenarios check that rkdriver's key presses reach such a reader at all, so a
// failure of a key scenario can be told apart from a fault of the harness.
// Ends on WM_CLOSE (window title "rk dinput probe") or after --ms milliseconds (default 60000).
#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>
// windows.h first: dinput.h relies on its types.
#include <dinput.h>

#include <array>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>

#include "command_line.h"
#include "platform/win32/handles_win.h"

namespace {

template <class T>
struct ComReleaser {
    void operator()(T* p) const {
        if (p != nullptr) {
            p->Release();
        }
    }
};

struct Options {
    std::wstring out_path;
    unsigned lifetime_ms = 60000;
};

Options parse_options() {
    return {e2e::named_option(L"--out"),
            static_cast<unsigned>(
                std::wcstoul(e2e::named_option(L"--ms", L"60000").c_str(), nullptr, 10))};
}

void append(const rk::win::UniqueKernelHandle& file, const std::string& line) {
    DWORD written = 0;
    WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::string key_line(const char* what, int code) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s 0x%02X\n", what, code);
    return buf;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const Options options = parse_options();
    rk::win::UniqueKernelHandle out(CreateFileW(options.out_path.c_str(), FILE_APPEND_DATA,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) {
        return 2;
    }

    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = L"RkDinputProbe";
    RegisterClassW(&wc);
    // Hidden, never activated: the keys must reach it in the background.
    const HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"rk dinput probe", WS_OVERLAPPEDWINDOW,
                                      0, 0, 100, 100, nullptr, nullptr, instance, nullptr);

    IDirectInput8W* raw_di = nullptr;
    if (FAILED(DirectInput8Create(instance, DIRECTINPUT_VERSION, IID_IDirectInput8W,
                                  reinterpret_cast<void**>(&raw_di), nullptr))) {
        append(out, "error DirectInput8Create\n");
        return 1;
    }
    std::unique_ptr<IDirectInput8W, ComReleaser<IDirectInput8W>> di(raw_di);
    IDirectInputDevice8W* raw_kb = nullptr;
    if (FAILED(di->CreateDevice(GUID_SysKeyboard, &raw_kb, nullptr))) {
        append(out, "error CreateDevice\n");
        return 1;
    }
    std::unique_ptr<IDirectInputDevice8W, ComReleaser<IDirectInputDevice8W>> kb(raw_kb);
    if (FAILED(kb->SetDataFormat(&c_dfDIKeyboard)) ||
        FAILED(kb->SetCooperativeLevel(hwnd, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND)) ||
        FAILED(kb->Acquire())) {
        append(out, "error acquire\n");
        return 1;
    }
    append(out, "ready\n");

    std::array<BYTE, 256> before{};
    const ULONGLONG deadline = GetTickCount64() + options.lifetime_ms;
    MSG msg;
    for (bool running = true; running && GetTickCount64() < deadline;) {
        // A faster poll than the program's 15 ms, so the probe misses nothing it could see.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT || (msg.hwnd == hwnd && msg.message == WM_CLOSE)) {
                running = false;
            }
            DispatchMessageW(&msg);
        }
        std::array<BYTE, 256> now{};
        if (FAILED(kb->GetDeviceState(static_cast<DWORD>(now.size()), now.data()))) {
            kb->Acquire();
            continue;
        }
        for (int code = 0; code < 256; ++code) {
            if ((now[code] & 0x80) != (before[code] & 0x80)) {
                append(out, key_line((now[code] & 0x80) ? "down" : "up", code));
            }
        }
        before = now;
    }
    kb->Unacquire();
    DestroyWindow(hwnd);
    return 0;
}
