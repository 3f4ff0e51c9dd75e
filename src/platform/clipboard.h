// The clipboard as the screenshot needs it: has something new arrived, and its bitmap.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/gdi.h"

namespace rk {

class Clipboard {
  public:
    virtual ~Clipboard() = default;
    // Changes whenever the clipboard's contents change (GetClipboardSequenceNumber): at once
    // for our own changes, for other programs' once the message loop has handled the notice.
    virtual std::uint32_t sequenceNumber() = 0;
    // True when the clipboard offers a bitmap (CF_BITMAP).
    virtual bool hasBitmap() = 0;
    // Opens the clipboard and hands its bitmap to use while it stays open; the bitmap belongs
    // to the clipboard and must not be kept or freed. False, without calling use, when the
    // clipboard cannot be opened or holds no bitmap.
    virtual bool useBitmap(const std::function<void(GdiHandle bitmap)>& use) = 0;
    // Replaces the clipboard's contents with a device-dependent copy of the top-left
    // width x height of the device context.
    virtual bool putCopyOf(GdiHandle dc, std::int32_t width, std::int32_t height) = 0;
};

}  // namespace rk
