// The notification-area icon and its pop-up menu.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/types.h"

namespace rk {

using IconId = std::uint64_t;

// The first, 88-byte form of the shell's icon record, as the program fills it.
struct TrayRecord {
    std::uint32_t cbSize = 0;
    WindowId hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    IconId hIcon = 0;
    std::array<char, 64> szTip{};
};

enum class TrayCommand : std::uint32_t { Add = 0, Delete = 2 };

class Tray {
  public:
    virtual ~Tray() = default;
    // Shell_NotifyIcon; false when the shell refused.
    virtual bool notify(TrayCommand command, const TrayRecord& record) = 0;
    // The info window's icon; the info window is created, hidden, to provide it.
    virtual IconId infoWindowIcon() = 0;
    // Shows the pop-up menu at the mouse and returns the chosen item's name, "" when dismissed.
    virtual std::string popupMenu() = 0;
};

}  // namespace rk
