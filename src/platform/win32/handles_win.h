// RAII owners for the Windows handle kinds the platform layer and the app hold.
#pragma once

#include <windows.h>

#include <utility>

namespace rk::win {

// One move-only owner for all handle kinds; Traits says what "none" is and how to free it.
template <class Traits>
class UniqueHandle {
  public:
    using Type = typename Traits::Type;
    using Handle = Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : h_(h) {}
    UniqueHandle(UniqueHandle&& o) noexcept : h_(o.release()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o)
            reset(o.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Handle get() const { return h_; }
    explicit operator bool() const { return Traits::valid(h_); }

    // For Windows calls that return the handle through an out parameter.
    Handle* put() {
        reset();
        return &h_;
    }
    Handle release() { return std::exchange(h_, Traits::none()); }
    void reset(Handle h = Traits::none()) {
        Handle old = std::exchange(h_, h);
        if (Traits::valid(old))
            Traits::close(old);
    }

  private:
    Handle h_ = Traits::none();
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type none() { return nullptr; }
    static bool valid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(Type h) { CloseHandle(h); }
};

struct RegKeyTraits {
    using Type = HKEY;
    static Type none() { return nullptr; }
    static bool valid(Type h) { return h != nullptr; }
    static void close(Type h) { RegCloseKey(h); }
};

// Destroying a window runs its WM_DESTROY handling synchronously on this thread.
struct WindowTraits {
    using Type = HWND;
    static Type none() { return nullptr; }
    static bool valid(Type h) { return h != nullptr; }
    static void close(Type h) { DestroyWindow(h); }
};

struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static Type none() { return nullptr; }
    static bool valid(Type h) { return h != nullptr; }
    static void close(Type h) { DeleteObject(h); }
};

struct MenuTraits {
    using Type = HMENU;
    static Type none() { return nullptr; }
    static bool valid(Type h) { return h != nullptr; }
    static void close(Type h) { DestroyMenu(h); }
};

// From CreateCompatibleDC: deleted, not released.
struct MemoryDcTraits {
    using Type = HDC;
    static Type none() { return nullptr; }
    static bool valid(Type h) { return h != nullptr; }
    static void close(Type h) { DeleteDC(h); }
};

struct GdiBitmapTraits {
    using Type = HBITMAP;
    static Type none() { return nullptr; }
    static bool valid(Type h) { return h != nullptr; }
    static void close(Type h) { DeleteObject(h); }
};

struct WinEventHookTraits {
    using Type = HWINEVENTHOOK;
    static Type none() { return nullptr; }
    static bool valid(Type h) { return h != nullptr; }
    static void close(Type h) { UnhookWinEvent(h); }
};
struct ModuleTraits {
    using Type = HMODULE;
    static Type none() { return nullptr; }
    static bool valid(Type h) { return h != nullptr; }
    static void close(Type h) { FreeLibrary(h); }
};
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueHKey = UniqueHandle<RegKeyTraits>;
using UniqueWindow = UniqueHandle<WindowTraits>;
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueGdiBitmap = UniqueHandle<GdiBitmapTraits>;
using UniqueWinEventHook = UniqueHandle<WinEventHookTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;

// GetDC/ReleaseDC pair (nullptr: the screen): the release needs the window the DC came from.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};

// The whole screen's DC (GetDC(NULL)): released, not deleted.
class ScreenDc : public WindowDc {
  public:
    ScreenDc() : WindowDc(nullptr) {}
};

// Selects an object into a DC and puts the previous one back when it goes.
class ScopedSelect {
  public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~ScopedSelect() {
        if (old_ && old_ != HGDI_ERROR)
            SelectObject(dc_, old_);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    explicit operator bool() const { return old_ && old_ != HGDI_ERROR; }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// The clipboard, open for as long as this lives. Another program may hold it for a moment
// (clipboard managers open it as soon as it changes), so opening is tried a few times.
class ClipboardSession {
  public:
    explicit ClipboardSession(HWND owner) {
        for (int attempt = 0; attempt < 10 && !open_; ++attempt) {
            if (attempt > 0)
                Sleep(2);
            open_ = OpenClipboard(owner) != FALSE;
        }
    }
    ~ClipboardSession() {
        if (open_)
            CloseClipboard();
    }
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    explicit operator bool() const { return open_; }

  private:
    bool open_ = false;
};

// A window timer, killed with its window or when this goes out of scope, whichever is first.
class ScopedTimer {
  public:
    ScopedTimer() = default;
    ScopedTimer(HWND window, UINT_PTR id, UINT intervalMs)
        : window_(window), id_(SetTimer(window, id, intervalMs, nullptr)) {}
    ScopedTimer(ScopedTimer&& o) noexcept
        : window_(std::exchange(o.window_, nullptr)), id_(std::exchange(o.id_, 0)) {}
    ScopedTimer& operator=(ScopedTimer&& o) noexcept {
        if (this != &o) {
            reset();
            window_ = std::exchange(o.window_, nullptr);
            id_ = std::exchange(o.id_, 0);
        }
        return *this;
    }
    ScopedTimer(const ScopedTimer&) = delete;
    ScopedTimer& operator=(const ScopedTimer&) = delete;
    ~ScopedTimer() { reset(); }
    explicit operator bool() const { return id_ != 0; }
    void reset() {
        // A destroyed window took its timers with it.
        if (id_ != 0 && IsWindow(window_))
            KillTimer(window_, id_);
        window_ = nullptr;
        id_ = 0;
    }

  private:
    HWND window_ = nullptr;
    UINT_PTR id_ = 0;
};

// COM interface pointer (DirectInput): one reference, released by its one owner.
template <class T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o) {
            reset();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T** put() {
        reset();
        return &p_;
    }
    void reset() {
        if (p_)
            std::exchange(p_, nullptr)->Release();
    }

  private:
    T* p_ = nullptr;
};

}  // namespace rk::win
