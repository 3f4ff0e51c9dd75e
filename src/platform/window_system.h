// Other programs' top-level windows: look-up by title, showing, bringing to the front.
#pragma once

#include <cstdint>
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
    virtual bool minimized(WindowId window) = 0;
    // Makes this program the sender of the last input event, with an event that changes
    // nothing. Windows lets a program that is not in front set the foreground window only in a
    // few cases, this among them; a program that reads the keys in the background meets none
    // of the others.
    virtual void claimForeground() = 0;
    // Foreground, active and focused, where Windows allows it (see claimForeground); a
    // minimized window stays minimized. Results are not reported.
    virtual void bringToFront(WindowId window) = 0;
    virtual void postClose(WindowId window) = 0;
    // 0 when the window no longer exists.
    virtual ProcessId ownerProcess(WindowId window) = 0;

    // Lets a caller keep what it learnt from findByTitle, topLevelWindows and titleOf: the number
    // differs from the previous call's whenever, in between, a top-level window of any program
    // (this one's included) may have been created, destroyed, shown, hidden or retitled, as far
    // as the system announces such changes. An equal number means none was announced; a
    // different one does not promise that anything changed. Z-order changes are not counted.
    // Windows announces all five; Wine 8 only new windows, so a caller still looks again now and
    // then. On Windows the news arrives with the messages of the thread that made this object,
    // so that thread must pump them. Costs no system call.
    virtual std::uint64_t changeCount() = 0;
};

}  // namespace rk
