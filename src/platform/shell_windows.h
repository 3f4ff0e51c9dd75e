// The program's own two windows as the core drives them: the main window and the info window.
#pragma once

#include <string>
#include <string_view>

#include "platform/types.h"

namespace rk {

class ShellWindows {
  public:
    virtual ~ShellWindows() = default;
    virtual WindowId mainWindow() = 0;
    virtual void setMainTitle(std::string_view title) = 0;
    virtual std::string mainTitle() = 0;
    virtual void showMain() = 0;
    virtual void hideMain() = 0;
    virtual bool mainVisible() = 0;
    // Destroys the main window; its unload runs before this returns.
    virtual void closeMain() = 0;
    // The info window exists hidden from start-up on; showing it again shows the same one.
    virtual void showInfo() = 0;
    virtual void hideInfo() = 0;
    virtual void closeInfo() = 0;
};

}  // namespace rk
