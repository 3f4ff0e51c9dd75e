// A surface stored as a standard Windows bitmap file: BITMAPFILEHEADER, BITMAPINFOHEADER and
// the 24-bit rows, bottom row first, each padded to a multiple of 4 bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "capture/dib_section.h"
#include "platform/capture_files.h"

namespace rk {

constexpr std::size_t kBmpHeadersSize = 14 + 40;

// The two headers that open a bitmap file of pixels the header describes, little-endian.
std::array<std::uint8_t, kBmpHeadersSize> BmpFileHeaders(const BitmapInfoHeader& bi);

// Writes the surface's rows in place as a bitmap file. Only a file the player cannot see may
// be replaced, and none without mayReplace. Raises the file error (Path not found, ...) when
// the file cannot be stored; nothing is written then.
void WriteBmpFile(CaptureFiles& files, const cDIBSection& surface, std::string_view fileName,
                  bool mayReplace = true);

}  // namespace rk
