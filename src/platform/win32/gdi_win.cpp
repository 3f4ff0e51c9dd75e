// Implements: rk::win::Win32Gdi (CreateCompatibleDC, DeleteDC, CreateDIBSection, SelectObject,
// DeleteObject, BitBlt, GetDIBits, GetObjectW, GetDC/ReleaseDC of the screen, the virtual
// screen's metrics).
#include "platform/win32/gdi_win.h"

#include <windows.h>

#include <cstdint>

namespace rk::win {

namespace {
template <typename H>
H as(GdiHandle h) {
    return reinterpret_cast<H>(static_cast<std::uintptr_t>(h));
}
GdiHandle handleOf(const void* h) {
    return static_cast<GdiHandle>(reinterpret_cast<std::uintptr_t>(h));
}
BITMAPINFOHEADER infoHeaderOf(const BitmapInfoHeader& h) {
    BITMAPINFOHEADER out{};
    out.biSize = sizeof(BITMAPINFOHEADER);
    out.biWidth = h.biWidth;
    out.biHeight = h.biHeight;
    out.biPlanes = h.biPlanes;
    out.biBitCount = h.biBitCount;
    out.biCompression = h.biCompression;
    out.biSizeImage = h.biSizeImage;
    out.biXPelsPerMeter = h.biXPelsPerMeter;
    out.biYPelsPerMeter = h.biYPelsPerMeter;
    out.biClrUsed = h.biClrUsed;
    out.biClrImportant = h.biClrImportant;
    return out;
}
}  // namespace

GdiHandle Win32Gdi::createCompatibleDc(GdiHandle reference) {
    return handleOf(CreateCompatibleDC(as<HDC>(reference)));
}

bool Win32Gdi::deleteDc(GdiHandle dc) {
    return DeleteDC(as<HDC>(dc)) != FALSE;
}

GdiHandle Win32Gdi::createDibSection(GdiHandle dc, const BitmapInfoHeader& h, std::uint8_t*& bits) {
    BITMAPINFO info{};
    info.bmiHeader = infoHeaderOf(h);
    void* pixels = nullptr;
    HBITMAP section = CreateDIBSection(as<HDC>(dc), &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    bits = section ? static_cast<std::uint8_t*>(pixels) : nullptr;
    return handleOf(section);
}

GdiHandle Win32Gdi::selectObject(GdiHandle dc, GdiHandle object) {
    HGDIOBJ previous = SelectObject(as<HDC>(dc), as<HGDIOBJ>(object));
    return previous == HGDI_ERROR ? 0 : handleOf(previous);
}

bool Win32Gdi::deleteObject(GdiHandle object) {
    return DeleteObject(as<HGDIOBJ>(object)) != FALSE;
}

bool Win32Gdi::bitBlt(GdiHandle dest, std::int32_t destX, std::int32_t destY, std::int32_t width,
                      std::int32_t height, GdiHandle source, std::int32_t srcX, std::int32_t srcY,
                      std::uint32_t rop) {
    const BOOL done =
        BitBlt(as<HDC>(dest), destX, destY, width, height, as<HDC>(source), srcX, srcY, rop);
    // GDI may batch drawing; the pixels are read in place right after.
    GdiFlush();
    return done != FALSE;
}

bool Win32Gdi::getBits(GdiHandle dc, GdiHandle bitmap, const BitmapInfoHeader& h,
                       std::uint8_t* bits) {
    BITMAPINFO info{};
    info.bmiHeader = infoHeaderOf(h);
    const LONG rows = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    return GetDIBits(as<HDC>(dc), as<HBITMAP>(bitmap), 0, static_cast<UINT>(rows), bits, &info,
                     DIB_RGB_COLORS) == rows;
}

PixelSize Win32Gdi::bitmapSize(GdiHandle bitmap) {
    HGDIOBJ object = as<HGDIOBJ>(bitmap);
    if (object == nullptr || GetObjectType(object) != OBJ_BITMAP)
        return {};
    BITMAP bm{};
    if (GetObjectW(object, sizeof bm, &bm) == 0)
        return {};
    return {bm.bmWidth, bm.bmHeight};
}

GdiHandle Win32Gdi::screenDc() {
    return handleOf(GetDC(nullptr));
}

void Win32Gdi::releaseScreenDc(GdiHandle dc) {
    ReleaseDC(nullptr, as<HDC>(dc));
}

ScreenArea Win32Gdi::screenArea() {
    return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
            GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

}  // namespace rk::win
