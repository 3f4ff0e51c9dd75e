// RAII owners for the Windows handle kinds the platform layer and the app hold.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <utility>

namespace rk::win {

// What a handle counts as in heldHandleCounts(): Windows' own per-process counts
// (GetGuiResources) read 0 under Wine, so the owners here keep their own.
enum class HandleKind { Uncounted, Gdi, User };

namespace detail {
inline std::atomic<std::int32_t> heldGdi{0};
inline std::atomic<std::int32_t> heldUser{0};

inline void countHeld(HandleKind kind, std::int32_t change) {
    if (kind == HandleKind::Gdi)
        heldGdi.fetch_add(change, std::memory_order_relaxed);
    else if (kind == HandleKind::User)
        heldUser.fetch_add(change, std::memory_order_relaxed);
}
}  // namespace detail

// GDI objects (bitmaps, DCs, fonts, brushes) and USER objects (windows, menus, event hooks)
// held right now by the owners in this header, plus the GDI surface handles of Win32Gdi. Not
// Windows' whole count: shared icons, child controls (their parent window frees them) and
// whatever system libraries hold are not in it. A count that grows while the program does the
// same thing over and over is a leak.
struct HeldHandleCounts {
    std::int32_t gdi = 0;
    std::int32_t user = 0;
};
inline HeldHandleCounts heldHandleCounts() {
    return {detail::heldGdi.load(std::memory_order_relaxed),
            detail::heldUser.load(std::memory_order_relaxed)};
}
// For code that makes and frees a counted object without an owner of this header.
inline void noteTaken(HandleKind kind) {
    detail::countHeld(kind, 1);
}
inline void noteFreed(HandleKind kind) {
    detail::countHeld(kind, -1);
}

// One move-only owner for all handle kinds; Traits says what "none" is, how to free it and
// what the handle counts as.
template <class Traits>
class UniqueHandle {
  public:
    using Type = typename Traits::Type;
    using Handle = Type;
    static constexpr HandleKind kKind = Traits::kind;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : h_(h) { taken(h_); }
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Traits::none())) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) {
            reset();
            h_ = std::exchange(o.h_, Traits::none());
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Handle get() const { return h_; }
    explicit operator bool() const { return Traits::valid(h_); }

    // For Windows calls that return the handle through an out parameter. Only for kinds that
    // are not counted: what is written there is never seen by the owner.
    Handle* put() requires(kKind == HandleKind::Uncounted) {
        reset();
        return &h_;
    }
    // Handed on (to the clipboard, say): no longer held here.
    Handle release() {
        Handle h = std::exchange(h_, Traits::none());
        if (Traits::valid(h))
            detail::countHeld(kKind, -1);
        return h;
    }
    void reset(Handle h = Traits::none()) {
        Handle old = std::exchange(h_, h);
        taken(h_);
        // A handle Windows refused to free still exists: it stays counted.
        if (Traits::valid(old) && Traits::close(old))
            detail::countHeld(kKind, -1);
    }

  private:
    static void taken(Handle h) {
        if (Traits::valid(h))
            detail::countHeld(kKind, 1);
    }

    Handle h_ = Traits::none();
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static constexpr HandleKind kind = HandleKind::Uncounted;
    static Type none() { return nullptr; }
    static bool valid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static bool close(Type h) { return CloseHandle(h) != FALSE; }
};

struct RegKeyTraits {
    using Type = HKEY;
    static constexpr HandleKind kind = HandleKind::Uncounted;
    static Type none() { return nullptr; }
    static bool valid(Type h) { return h != nullptr; }
    static bool close(Type h) { return RegCloseKey(h) == ERROR_SUCCESS; }
};

// Destroying a window runs its WM_DESTROY handling synchronously on this thread.
struct WindowTraits {
    using Type = HWND;
    static constexpr HandleKind kind = HandleKind::User;
    static Type none() { return nullptr; }
    static bool valid(Type h) { return h != nullptr; }
    static bool close(Type h) { return DestroyWindow(h) != FALSE; }
};

struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static constexpr HandleKind kind = HandleKind::Gdi;
    static Type none() { return nullptr; }
    static bool valid(Type h) { return h != nullptr; }
    static bool close(Type h) { return DeleteObject(h) != FALSE; }
};

struct MenuTraits {
    using Type = HMENU;
    static constexpr HandleKind kind = HandleKind::User;
    static Type none() { return nullptr; }
    static bool valid(Type h) { return h != nullptr; }
    static bool close(Type h) { return DestroyMenu(h) != FALSE; }
};

// From CreateCompatibleDC: deleted, not released.
struct MemoryDcTraits {
    using Type = HDC;
    static constexpr HandleKind kind = HandleKind::Gdi;
    static Type none() { return nullptr; }
    static bool valid(Type h) { return h != nullptr; }
    static bool close(Type h) { return DeleteDC(h) != FALSE; }
};

struct GdiBitmapTraits {
    using Type = HBITMAP;
    static constexpr HandleKind kind = HandleKind::Gdi;
    static Type none() { return nullptr; }
    static bool valid(Type h) { return h != nullptr; }
    static bool close(Type h) { return DeleteObject(h) != FALSE; }
};

struct WinEventHookTraits {
    using Type = HWINEVENTHOOK;
    static constexpr HandleKind kind = HandleKind::User;
    static Type none() { return nullptr; }
    static bool valid(Type h) { return h != nullptr; }
    static bool close(Type h) { return UnhookWinEvent(h) != FALSE; }
};
struct ModuleTraits {
    using Type = HMODULE;
    static constexpr HandleKind kind = HandleKind::Uncounted;
    static Type none() { return nullptr; }
    static bool valid(Type h) { return h != nullptr; }
    static bool close(Type h) { return FreeLibrary(h) != FALSE; }
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
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {
        if (dc_)
            noteTaken(HandleKind::Gdi);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_ && ReleaseDC(window_, dc_) != 0)
            noteFreed(HandleKind::Gdi);
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
