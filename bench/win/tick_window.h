// A hidden top-level window with a 15 ms timer, as the tray program keeps one:
// the floor that every per-tick cost of the real program is measured against.
#pragma once

#include <windows.h>

#include <utility>

namespace bench {

// Owns a window handle; destroys it on scope exit.
class WindowHandle {
  public:
    WindowHandle() = default;
    explicit WindowHandle(HWND window) : window_(window) {}
    WindowHandle(const WindowHandle&) = delete;
    WindowHandle& operator=(const WindowHandle&) = delete;
    WindowHandle(WindowHandle&& other) noexcept : window_(std::exchange(other.window_, nullptr)) {}
    WindowHandle& operator=(WindowHandle&& other) noexcept {
        if (this != &other) {
            reset();
            window_ = std::exchange(other.window_, nullptr);
        }
        return *this;
    }
    ~WindowHandle() { reset(); }

    HWND get() const { return window_; }
    void reset() {
        if (window_ != nullptr && IsWindow(window_))
            DestroyWindow(window_);
        window_ = nullptr;
    }

  private:
    HWND window_ = nullptr;
};

// The same priority the tray program asks for, so the floors are scheduled like it.
inline void raisePriority() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
}

constexpr UINT kTickMs = 15;

// Creates the hidden window, then calls onTick() from every WM_TIMER until the window is closed.
// OnTick is called from the window procedure, as the program's own tick is.
template <typename OnTick>
class TickWindow {
  public:
    explicit TickWindow(const wchar_t* title, OnTick onTick) : onTick_(std::move(onTick)) {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSW cls{};
        cls.lpfnWndProc = &TickWindow::procedure;
        cls.hInstance = instance;
        cls.lpszClassName = L"BenchTickWindow";
        RegisterClassW(&cls);
        // Not shown: the tray program's main window is hidden in tray mode.
        window_ = WindowHandle(CreateWindowExW(0, cls.lpszClassName, title, WS_OVERLAPPEDWINDOW,
                                               CW_USEDEFAULT, CW_USEDEFAULT, 200, 100, nullptr,
                                               nullptr, instance, this));
    }

    HWND handle() const { return window_.get(); }

    int run() {
        if (window_.get() == nullptr)
            return 1;
        SetTimer(window_.get(), 1, kTickMs, nullptr);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        return 0;
    }

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<TickWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        switch (message) {
            case WM_TIMER:
                if (self != nullptr)
                    self->onTick_();
                return 0;
            case WM_DESTROY:
                KillTimer(window, 1);
                PostQuitMessage(0);
                return 0;
            default:
                return DefWindowProcW(window, message, wParam, lParam);
        }
    }

    OnTick onTick_;
    WindowHandle window_;
};

}  // namespace bench
