// Tray on Shell_NotifyIconW and TrackPopupMenu.
#pragma once

#include <windows.h>

#include "platform/tray.h"

namespace rk::win {

class Win32Tray final : public Tray {
  public:
    // menuOwner receives the menu's messages; infoIcon is the info window's small icon.
    // callbackMessage is the private message the shell reports mouse actions on the icon with.
    Win32Tray(HWND menuOwner, HICON infoIcon, UINT callbackMessage);

    bool notify(TrayCommand command, const TrayRecord& record) override;
    IconId infoWindowIcon() override;
    std::string popupMenu() override;

  private:
    HWND menuOwner_;
    HICON infoIcon_;
    UINT callbackMessage_;
};

}  // namespace rk::win
