#include "capture/bmp_file.h"

#include <optional>

#include "capture/file_replace.h"
#include "capture/screenshot_naming.h"

namespace rk {

namespace {
template <typename T>
std::uint8_t* put(std::uint8_t* out, T value) {
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        *out++ = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i));
    }
    return out;
}
}  // namespace

std::array<std::uint8_t, kBmpHeadersSize> BmpFileHeaders(const BitmapInfoHeader& bi) {
    std::array<std::uint8_t, kBmpHeadersSize> h{};
    std::uint8_t* p = h.data();
    // BITMAPFILEHEADER
    *p++ = 'B';
    *p++ = 'M';
    p = put<std::uint32_t>(p, static_cast<std::uint32_t>(kBmpHeadersSize) + bi.biSizeImage);
    p = put<std::uint16_t>(p, 0);
    p = put<std::uint16_t>(p, 0);
    p = put<std::uint32_t>(p, static_cast<std::uint32_t>(kBmpHeadersSize));  // bfOffBits
    // BITMAPINFOHEADER
    p = put(p, bi.biSize);
    p = put(p, bi.biWidth);
    p = put(p, bi.biHeight);
    p = put(p, bi.biPlanes);
    p = put(p, bi.biBitCount);
    p = put(p, bi.biCompression);
    p = put(p, bi.biSizeImage);
    p = put(p, bi.biXPelsPerMeter);
    p = put(p, bi.biYPelsPerMeter);
    p = put(p, bi.biClrUsed);
    put(p, bi.biClrImportant);
    return h;
}

void WriteBmpFile(CaptureFiles& files, const cDIBSection& surface, std::string_view fileName,
                  bool mayReplace) {
    if (surface.DIBSectionBitsPtr() == nullptr)
        return;
    const auto headers = BmpFileHeaders(surface.header());
    const std::span<const std::uint8_t> pieces[] = {
        headers, {surface.DIBSectionBitsPtr(), surface.header().biSizeImage}};
    // A hidden file of this name is replaced, as the picture-save facility overwrote it; one
    // the player can see never is.
    const std::optional<FileEntry> existing = files.find(fileName);
    const FileResult result =
        StoreNewFile(files, fileName, pieces, mayReplace && existing && !TakesItsNumber(existing));
    if (result != FileResult::Ok)
        RaiseFileError(result);
}

}  // namespace rk
