#include "shell/dispatcher.h"

#include <string>

#include "platform/error.h"

namespace rk {

namespace {
// The box the player sees for an error that reached an event handler.
std::string errorText(const RaidError& e) {
    return "Run-time error '" + std::to_string(e.number()) + "':\n\n" + e.description();
}
}  // namespace

Dispatcher::Dispatcher(Dialogs& dialogs, std::function<void()> endProgram)
    : dialogs_(dialogs), endProgram_(std::move(endProgram)) {}

bool Dispatcher::run(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const RaidError& e) {
        messageBox(errorText(e), "Raidkit", BoxIcon::Error);
    } catch (const std::bad_alloc&) {
        messageBox(errorText(RaidError(7, "Raidkit", "Out of memory")), "Raidkit", BoxIcon::Error);
    }
    return false;
}

void Dispatcher::startUp(const std::function<void()>& handler) {
    if (!run(handler) && endProgram_)
        endProgram_();
}

void Dispatcher::event(const std::function<void()>& handler) {
    run(handler);
}

void Dispatcher::tick(const std::function<void()>& handler) {
    // A modal box pumps messages; a tick that falls due under it or under another tick is
    // dropped, not made up later.
    if (tickDepth_ > 0 || modalDepth_ > 0)
        return;
    ++tickDepth_;
    run(handler);
    --tickDepth_;
}

void Dispatcher::messageBox(std::string_view text, std::string_view title, BoxIcon icon) {
    ++modalDepth_;
    try {
        dialogs_.messageBox(text, title, icon);
    } catch (...) {
        --modalDepth_;
        throw;
    }
    --modalDepth_;
}

}  // namespace rk
