// Runs every event handler: the one place where a raised RaidError is caught and shown.
#pragma once

#include <functional>

#include "platform/dialogs.h"

namespace rk {

class Dispatcher {
  public:
    // endProgram closes the main window; it is called after an error during start-up.
    Dispatcher(Dialogs& dialogs, std::function<void()> endProgram);

    // Start-up: an error is shown, then the program ends.
    void startUp(const std::function<void()>& handler);
    // Clicks, changes, menu items, window unload: an error is shown and the program goes on.
    void event(const std::function<void()>& handler);
    // Timer ticks: skipped while another tick runs or a box is up; errors as for event().
    void tick(const std::function<void()>& handler);

    // Every modal box the core shows goes through here, so that no tick runs under it.
    void messageBox(std::string_view text, std::string_view title, BoxIcon icon);

    bool inTick() const { return tickDepth_ > 0; }
    int modalDepth() const { return modalDepth_; }

  private:
    bool run(const std::function<void()>& handler);

    Dialogs& dialogs_;
    std::function<void()> endProgram_;
    int tickDepth_ = 0;
    int modalDepth_ = 0;
};

}  // namespace rk
