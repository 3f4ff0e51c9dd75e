// ironveil.exe: a stand-in for the game. One window titled "Ironveil" (or --title) with a
// focused single-line chat box; every character the box receives is appended to the --record
// file as UTF-8, Enter as a line end (it "sends" the line and empties the box). --pid-file gets
// the process id once the window exists. With --clock <file> it paints the part of its window
// below the chat box, every millisecond, in the colour of the clock (clock_colour.h), and
// writes the screen position of that part's centre ("x y") into the file. It ends when its
// window is closed or it is killed.
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "clock_colour.h"
#include "command_line.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/text_win.h"

namespace {

struct Options {
    std::wstring title = L"Ironveil";
    std::wstring record_path;
    std::wstring pid_path;
    std::wstring clock_path;
};

Options parse_options() {
    return {e2e::named_option(L"--title", L"Ironveil"), e2e::named_option(L"--record"),
            e2e::named_option(L"--pid-file"), e2e::named_option(L"--clock")};
}

// Appends each character at once, so a test polling the file sees it as soon as it arrived.
class ChatRecord {
  public:
    void open(const std::wstring& path) {
        if (path.empty()) {
            return;
        }
        file_.reset(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }

    void add(wchar_t c) {
        // A character outside the basic plane comes as two WM_CHARs: keep the first half.
        if (IS_HIGH_SURROGATE(c)) {
            high_ = c;
            return;
        }
        std::wstring text;
        if (IS_LOW_SURROGATE(c) && high_ != 0) {
            text += high_;
        }
        high_ = 0;
        text += c == L'\r' ? L'\n' : c;
        const std::string bytes = rk::win::toUtf8(text);
        DWORD written = 0;
        if (file_) {
            WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                      nullptr);
        }
    }

  private:
    rk::win::UniqueKernelHandle file_;
    wchar_t high_ = 0;
};

ChatRecord g_record;
HWND g_chat = nullptr;
bool g_clock = false;
WNDPROC g_edit_proc = nullptr;

LRESULT CALLBACK chat_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CHAR) {
        g_record.add(static_cast<wchar_t>(wp));
        if (wp == L'\r') {
            // The line is sent: the box empties, and a single-line box would only beep.
            SetWindowTextW(hwnd, L"");
            return 0;
        }
    }
    return CallWindowProcW(g_edit_proc, hwnd, msg, wp, lp);
}

LRESULT CALLBACK main_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            g_chat = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                     WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 40, 440, 24, hwnd,
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
            g_edit_proc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(g_chat, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chat_proc)));
            return 0;
        // Whenever the game is in front, typed keys go to its chat box.
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) {
                break;
            }
            SetFocus(g_chat);
            return 0;
        case WM_SETFOCUS:
            SetFocus(g_chat);
            return 0;
        case WM_ERASEBKGND:
            // The clock's colour is never painted over, not even for a moment.
            if (g_clock) {
                return 1;
            }
            break;
        case WM_SYSCOMMAND:
            // A game has no menu: F10 or Alt must not put the window into menu mode, where the
            // chat box would stop receiving characters.
            if ((wp & 0xFFF0) == SC_KEYMENU) {
                return 0;
            }
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void write_text(const std::wstring& path, const std::string& text) {
    rk::win::UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                                 nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                                 nullptr));
    DWORD written = 0;
    if (file) {
        WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
}

void write_pid(const std::wstring& path) {
    if (!path.empty()) {
        write_text(path, std::to_string(GetCurrentProcessId()) + "\n");
    }
}

// The area below the chat box, painted with the clock from a thread of its own so that the
// colour follows the time whatever the window's messages do.
class ClockPainter {
  public:
    void start(HWND hwnd, const std::wstring& path) {
        RECT client{};
        GetClientRect(hwnd, &client);
        area_ = {0, 70, client.right, client.bottom};
        POINT centre{(area_.left + area_.right) / 2, (area_.top + area_.bottom) / 2};
        ClientToScreen(hwnd, &centre);
        thread_ = std::thread([this, hwnd] {
            while (!stop_) {
                if (HDC dc = GetDC(hwnd)) {
                    const HBRUSH brush = CreateSolidBrush(e2e::clock_colour(e2e::clock_ms()));
                    FillRect(dc, &area_, brush);
                    DeleteObject(brush);
                    // Reading a pixel back waits until the display has the new colour, so the
                    // screen never shows an older time than the one painted last.
                    GetPixel(dc, area_.left, area_.top);
                    ReleaseDC(hwnd, dc);
                }
                Sleep(1);
            }
        });
        write_text(path, std::to_string(centre.x) + " " + std::to_string(centre.y) + "\n");
    }
    ~ClockPainter() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
    }

  private:
    RECT area_{};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const Options options = parse_options();
    g_record.open(options.record_path);
    g_clock = !options.clock_path.empty();

    WNDCLASSW wc{};
    wc.lpfnWndProc = main_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"IronveilStandIn";
    RegisterClassW(&wc);

    const HWND hwnd =
        CreateWindowExW(0, wc.lpszClassName, options.title.c_str(), WS_OVERLAPPEDWINDOW, 200, 200,
                        480, 140, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) {
        return 1;
    }
    ShowWindow(hwnd, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd);
    SetFocus(g_chat);
    write_pid(options.pid_path);
    ClockPainter clock;
    if (g_clock) {
        clock.start(hwnd, options.clock_path);
    }

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
