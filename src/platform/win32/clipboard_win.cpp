// Implements: rk::win::Win32Clipboard (GetClipboardSequenceNumber, IsClipboardFormatAvailable,
// OpenClipboard/GetClipboardData(CF_BITMAP)/CloseClipboard, SetClipboardData).
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
}  // namespace

std::uint32_t Win32Clipboard::sequenceNumber() {
    return GetClipboardSequenceNumber();
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
    ClipboardSession session(toHwnd(owner_));
    if (!session || !EmptyClipboard())
        return false;
    if (SetClipboardData(CF_BITMAP, copy.get()) == nullptr)
        return false;
    copy.release();  // the clipboard owns it now
    return true;
}

}  // namespace rk::win
