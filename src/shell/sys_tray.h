// The tray icon: one record kept from addition to removal, so that removal names the same icon.
#pragma once

#include <string_view>

#include "platform/tray.h"

namespace rk {

constexpr std::uint32_t kTrayCallbackMessage = 0x200;  // WM_MOUSEMOVE
constexpr std::uint32_t kTrayButtonUp = 0x205;         // WM_RBUTTONUP: opens the menu

class SysTray {
  public:
    explicit SysTray(Tray& tray) : tray_(tray) {}

    void AddTrayIcon(WindowId hWnd, IconId hIcon, std::string_view tip);
    void RemoveTrayIcon();
    // The shell's taskbar was re-created and lost every icon: add ours again.
    void TaskbarCreated();

    const TrayRecord& record() const { return record_; }

  private:
    Tray& tray_;
    TrayRecord record_{};
    bool added_ = false;
};

}  // namespace rk
