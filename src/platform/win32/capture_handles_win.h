// Implements: the scoped owners the screenshot's Win32 halves need (find handles, memory DCs,
// GDI bitmaps, the screen DC, a bitmap selected for a while, an open clipboard). They follow
// UniqueHandle of handles_win.h and belong there once that header takes new kinds.
#pragma once

#include <windows.h>

#include <utility>

#include "platform/win32/handles_win.h"

namespace rk::win {

struct FindHandleTraits {
    using Type = HANDLE;
    static Type none() { return INVALID_HANDLE_VALUE; }
    static bool valid(Type h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void close(Type h) { FindClose(h); }
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

using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueGdiBitmap = UniqueHandle<GdiBitmapTraits>;

// From GetDC(NULL): released, not deleted.
class ScreenDc {
  public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc() {
        if (dc_)
            ReleaseDC(nullptr, dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HDC dc_;
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

}  // namespace rk::win
