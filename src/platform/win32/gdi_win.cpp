// Implements: rk::win::Win32Gdi (CreateCompatibleDC, DeleteDC, CreateDIBSection, SelectObject,
// DeleteObject, BitBlt, GetDIBits, GetObjectW, GetDC/ReleaseDC of the screen, the virtual
// screen's metrics).
#include "platform/win32/gdi_win.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "capture/pixel_pack.h"
#include "platform/win32/handles_win.h"

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

// The surface's handles are owned by the core's cDIBSection, through the calls below; they
// count with the owners' of handles_win.h, so that a surface never freed shows there too.
GdiHandle Win32Gdi::createCompatibleDc(GdiHandle reference) {
    HDC dc = CreateCompatibleDC(as<HDC>(reference));
    if (dc)
        noteTaken(HandleKind::Gdi);
    return handleOf(dc);
}

bool Win32Gdi::deleteDc(GdiHandle dc) {
    if (DeleteDC(as<HDC>(dc)) == FALSE)
        return false;
    noteFreed(HandleKind::Gdi);
    return true;
}

GdiHandle Win32Gdi::createDibSection(GdiHandle dc, const BitmapInfoHeader& h, std::uint8_t*& bits) {
    BITMAPINFO info{};
    info.bmiHeader = infoHeaderOf(h);
    void* pixels = nullptr;
    HBITMAP section = CreateDIBSection(as<HDC>(dc), &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    bits = section ? static_cast<std::uint8_t*>(pixels) : nullptr;
    if (section)
        noteTaken(HandleKind::Gdi);
    return handleOf(section);
}

GdiHandle Win32Gdi::selectObject(GdiHandle dc, GdiHandle object) {
    HGDIOBJ previous = SelectObject(as<HDC>(dc), as<HGDIOBJ>(object));
    return previous == HGDI_ERROR ? 0 : handleOf(previous);
}

bool Win32Gdi::deleteObject(GdiHandle object) {
    if (DeleteObject(as<HGDIOBJ>(object)) == FALSE)
        return false;
    noteFreed(HandleKind::Gdi);
    return true;
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
                       std::uint8_t* bits, const RowsReady& ready) {
    if (packedRead(dc, bitmap, h, bits, ready))
        return true;
    BITMAPINFO info{};
    info.bmiHeader = infoHeaderOf(h);
    const LONG rows = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (GetDIBits(as<HDC>(dc), as<HBITMAP>(bitmap), 0, static_cast<UINT>(rows), bits, &info,
                  DIB_RGB_COLORS) != rows) {
        return false;
    }
    if (ready)
        ready(rows);
    return true;
}

// A screen picture is a 32-bit bitmap. Wine converts it to 24 bits about five times slower
// than it copies it as it is: the rows are read as they are, a band at a time into a small
// buffer kept for the next picture, and packed here. Bands go from the top down, the order in
// which an encoder wants them.
bool Win32Gdi::packedRead(GdiHandle dc, GdiHandle bitmap, const BitmapInfoHeader& h,
                          std::uint8_t* bits, const RowsReady& ready) {
    constexpr LONG kBandRows = 64;
    if (h.biBitCount != 24 || h.biCompression != BI_RGB || h.biHeight <= 0 || h.biWidth <= 0)
        return false;
    BITMAP bm{};
    if (GetObjectW(as<HGDIOBJ>(bitmap), sizeof bm, &bm) == 0 || bm.bmBitsPixel != 32 ||
        bm.bmWidth != h.biWidth || bm.bmHeight != h.biHeight) {
        return false;
    }
    const std::size_t inStride = static_cast<std::size_t>(h.biWidth) * 4;
    const std::size_t outStride = (static_cast<std::size_t>(h.biWidth) * 3 + 3) & ~std::size_t{3};
    band_.resize(inStride * kBandRows);
    BITMAPINFO info{};
    info.bmiHeader = infoHeaderOf(h);
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biSizeImage = 0;
    for (LONG done = 0; done < h.biHeight;) {
        const LONG rows = std::min(kBandRows, h.biHeight - done);
        // Scan lines count from the bottom row, as the surface's rows lie in memory.
        const LONG first = h.biHeight - done - rows;
        if (GetDIBits(as<HDC>(dc), as<HBITMAP>(bitmap), static_cast<UINT>(first),
                      static_cast<UINT>(rows), band_.data(), &info, DIB_RGB_COLORS) != rows) {
            return false;
        }
        for (LONG row = 0; row < rows; ++row) {
            PackBgrxToBgr(band_.data() + inStride * row, bits + outStride * (first + row),
                          h.biWidth);
        }
        done += rows;
        if (ready)
            ready(done);
    }
    return true;
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
    HDC dc = GetDC(nullptr);
    if (dc)
        noteTaken(HandleKind::Gdi);
    return handleOf(dc);
}

void Win32Gdi::releaseScreenDc(GdiHandle dc) {
    if (ReleaseDC(nullptr, as<HDC>(dc)) != 0)
        noteFreed(HandleKind::Gdi);
}

ScreenArea Win32Gdi::screenArea() {
    return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
            GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

}  // namespace rk::win
