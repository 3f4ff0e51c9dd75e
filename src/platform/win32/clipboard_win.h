// Clipboard on user32's clipboard functions.
#pragma once

#include <atomic>

#include "platform/clipboard.h"
#include "platform/types.h"
#include "platform/win32/handles_win.h"

namespace rk::win {

class Win32Clipboard final : public Clipboard {
  public:
    // owner: the window that owns what this program puts on the clipboard (0: none). Made on
    // the thread that runs the message loop: changes are learnt from its messages.
    explicit Win32Clipboard(WindowId owner = 0);

    // The number as of the last change notice the message loop has handled (or of our own
    // last change). Asking the system costs a wineserver round trip under Wine, in every poll
    // tick; a notice comes only when something changed.
    std::uint32_t sequenceNumber() override;
    bool hasBitmap() override;
    bool useBitmap(const std::function<void(GdiHandle bitmap)>& use) override;
    bool putCopyOf(GdiHandle dc, std::int32_t width, std::int32_t height) override;

  private:
    static LRESULT CALLBACK listenerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    WindowId owner_;
    std::atomic<std::uint32_t> sequence_;
    UniqueWindow listener_;  // null when notices cannot be had: then the system is asked
};

}  // namespace rk::win
