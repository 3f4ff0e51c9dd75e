// Implements: rk::win::Win32Clipboard (GetClipboardSequenceNumber kept from
// WM_CLIPBOARDUPDATE notices, IsClipboardFormatAvailable, OpenClipboard/GetClipboardData
// (CF_BITMAP)/CloseClipboard, SetClipboardData).
#include "platform/win32/clipboard_win.h"

#include <windows.h>

#include <cstdint>

#include "platform/win32/handles_win.h"

namespace rk::win {

namespace {
HWND toHwnd(WindowId id) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(id));
}
HDC toHdc(GdiHandle h) {
    return reinterpret_cast<HDC>(static_cast<std::uintptr_t>(h));
}

constexpr wchar_t kListenerClass[] = L"RaidkitClipboardListener";

ATOM registerListenerClass(WNDPROC proc) {
    static const ATOM atom = [proc] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kListenerClass;
        return RegisterClassExW(&wc);
    }();
    return atom;
}
}  // namespace

Win32Clipboard::Win32Clipboard(WindowId owner)
    : owner_(owner), sequence_(GetClipboardSequenceNumber()) {
    if (registerListenerClass(listenerProc) == 0)
        return;
    listener_.reset(CreateWindowExW(0, kListenerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    GetModuleHandleW(nullptr), nullptr));
    if (!listener_)
        return;
    SetWindowLongPtrW(listener_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (!AddClipboardFormatListener(listener_.get())) {
        listener_.reset();
        return;
    }
    // A change between the first read and the listener's start would go unnoticed.
    sequence_ = GetClipboardSequenceNumber();
}

LRESULT CALLBACK Win32Clipboard::listenerProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    if (message == WM_CLIPBOARDUPDATE) {
        auto* self = reinterpret_cast<Win32Clipboard*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self)
            self->sequence_ = GetClipboardSequenceNumber();
        return 0;
    }
    if (message == WM_DESTROY)
        RemoveClipboardFormatListener(window);
    return DefWindowProcW(window, message, wParam, lParam);
}

std::uint32_t Win32Clipboard::sequenceNumber() {
    if (!listener_)
        return GetClipboardSequenceNumber();
    return sequence_;
}

bool Win32Clipboard::hasBitmap() {
    return IsClipboardFormatAvailable(CF_BITMAP) != FALSE;
}

bool Win32Clipboard::useBitmap(const std::function<void(GdiHandle bitmap)>& use) {
    ClipboardSession session(toHwnd(owner_));
    if (!session)
        return false;
    // The handle stays the clipboard's: valid only while it is open, never freed here.
    HANDLE bitmap = GetClipboardData(CF_BITMAP);
    if (bitmap == nullptr)
        return false;
    use(static_cast<GdiHandle>(reinterpret_cast<std::uintptr_t>(bitmap)));
    return true;
}

bool Win32Clipboard::putCopyOf(GdiHandle dc, std::int32_t width, std::int32_t height) {
    if (width <= 0 || height <= 0)
        return false;
    UniqueGdiBitmap copy;
    {
        ScreenDc screen;
        if (!screen)
            return false;
        copy.reset(CreateCompatibleBitmap(screen.get(), width, height));
        UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
        if (!copy || !memory)
            return false;
        ScopedSelect selected(memory.get(), copy.get());
        if (!selected || !BitBlt(memory.get(), 0, 0, width, height, toHdc(dc), 0, 0, SRCCOPY)) {
            return false;
        }
    }
    {
        ClipboardSession session(toHwnd(owner_));
        if (!session || !EmptyClipboard())
            return false;
        if (SetClipboardData(CF_BITMAP, copy.get()) == nullptr)
            return false;
        copy.release();  // the clipboard owns it now
    }
    // Our own change counts at once, not only when its notice has been handled.
    sequence_ = GetClipboardSequenceNumber();
    return true;
}

}  // namespace rk::win
