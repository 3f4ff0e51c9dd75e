// ShellWindows over the program's two real windows, which it owns from creation on.
#pragma once

#include <windows.h>

#include "platform/shell_windows.h"
#include "platform/win32/handles_win.h"

namespace rk::win {

class Win32ShellWindows final : public ShellWindows {
  public:
    Win32ShellWindows(UniqueWindow main, UniqueWindow info);

    WindowId mainWindow() override;
    void setMainTitle(std::string_view title) override;
    std::string mainTitle() override;
    void showMain() override;
    void hideMain() override;
    bool mainVisible() override;
    void closeMain() override;
    void showInfo() override;
    void hideInfo() override;
    void closeInfo() override;

    // Called from WM_NCDESTROY: a window destroyed by any means is no longer ours to destroy.
    void windowDestroyed(HWND window);
    HWND mainHandle() const { return main_.get(); }
    HWND infoHandle() const { return info_.get(); }

  private:
    UniqueWindow main_;
    UniqueWindow info_;
};

}  // namespace rk::win
