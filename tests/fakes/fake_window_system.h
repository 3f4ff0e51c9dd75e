// An in-memory list of top-level windows with titles, visibility, owners and the foreground,
// and Windows' foreground lock: a program may take the foreground from another program's
// window only while it sent the last input event (claimForeground) or owns the window in front.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/window_system.h"

namespace rk {

class FakeWindowSystem : public WindowSystem {
  public:
    struct Window {
        std::string title;
        bool visible = true;
        ProcessId owner = 0;
        ShowCommand lastShow = ShowCommand::Normal;
        bool minimized = false;
        int closeRequests = 0;
        // Refused requests for the front: Windows flashes the taskbar button instead.
        int flashes = 0;
    };

    WindowId findByTitle(std::string_view title) override;
    std::vector<WindowId> topLevelWindows() override;
    std::string titleOf(WindowId window) override;
    void show(WindowId window, ShowCommand command) override;
    bool minimized(WindowId window) override;
    void claimForeground() override { lastInputOurs_ = true; }
    void bringToFront(WindowId window) override;
    void postClose(WindowId window) override;
    ProcessId ownerProcess(WindowId window) override;
    // Moves with every creation, destruction, show command and title change.
    std::uint64_t changeCount() override { return changes_; }

    // Test set-up: a new window on top of the z-order.
    WindowId createWindow(std::string title, bool visible = true, ProcessId owner = 0);
    void destroyWindow(WindowId window);
    void setTitle(WindowId window, std::string title);
    // The player's own input brings a window to the front: the last input is no longer ours.
    void activate(WindowId window);
    // The program under test; its windows in front let it set the foreground.
    ProcessId selfProcess = 0;
    // Removes every window of a process, as when it ends.
    void endProcess(ProcessId owner);
    bool exists(WindowId window) const { return windows_.contains(window); }
    const Window& window(WindowId window) const { return windows_.at(window); }
    WindowId foreground() const { return foreground_; }
    // A posted WM_CLOSE closes the window (as a default window procedure does).
    bool closeOnRequest = true;
    // Runs at each posted close request, before the window reacts to it: lets a test look at the
    // moment of the request or play what the system does meanwhile.
    std::function<void(WindowId)> onCloseRequest;

  private:
    std::map<WindowId, Window> windows_;
    std::vector<WindowId> zOrder_;  // front first
    WindowId foreground_ = 0;
    bool lastInputOurs_ = false;
    WindowId next_ = 0x10010;
    std::uint64_t changes_ = 0;
};

}  // namespace rk
