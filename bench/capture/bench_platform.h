// What the screenshot benchmark runs on: the fakes with real files natively, the Win32 layer on
// Windows (and under Wine).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "capture/save_it.h"

namespace rk::bench {

// Pixels as 0x00RRGGBB, top row first.
struct Picture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;
};

class BenchPlatform {
  public:
    virtual ~BenchPlatform() = default;
    virtual CapturePlatform capture() = 0;
    // What Windows does on Print Screen: the picture goes on the clipboard.
    virtual void putOnClipboard(const Picture& picture) = 0;
    // The folder the shots go to, with its path separator.
    virtual std::string folder() = 0;
    virtual void removeFile(const std::string& path) = 0;
    // The baseline writer: one plain create-write-close of the bytes.
    virtual void plainWrite(const std::string& path, std::span<const std::uint8_t> bytes) = 0;
    virtual std::string name() = 0;
};

std::unique_ptr<BenchPlatform> makeBenchPlatform();

}  // namespace rk::bench
