// Other programs' top-level windows: look-up by title, showing, bringing to the front.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace rk {

class WindowSystem {
  public:
    virtual ~WindowSystem() = default;
    // A top-level window whose whole title matches, ignoring case (hidden ones too); 0 if none.
    virtual WindowId findByTitle(std::string_view title) = 0;
    // Every top-level window, in the system's z-order.
    virtual std::vector<WindowId> topLevelWindows() = 0;
    virtual std::string titleOf(WindowId window) = 0;
    virtual void show(WindowId window, ShowCommand command) = 0;
    // Foreground, active and focused; results are not reported.
    virtual void bringToFront(WindowId window) = 0;
    virtual void postClose(WindowId window) = 0;
    // 0 when the window no longer exists.
    virtual ProcessId ownerProcess(WindowId window) = 0;
};

}  // namespace rk
