// Clipboard on user32's clipboard functions.
#pragma once

#include "platform/clipboard.h"
#include "platform/types.h"

namespace rk::win {

class Win32Clipboard final : public Clipboard {
  public:
    // owner: the window that owns what this program puts on the clipboard (0: none).
    explicit Win32Clipboard(WindowId owner = 0) : owner_(owner) {}

    std::uint32_t sequenceNumber() override;
    bool hasBitmap() override;
    bool useBitmap(const std::function<void(GdiHandle bitmap)>& use) override;
    bool putCopyOf(GdiHandle dc, std::int32_t width, std::int32_t height) override;

  private:
    WindowId owner_;
};

}  // namespace rk::win
