#include "fake_window_system.h"

#include <algorithm>
#include <cctype>

namespace rk {

namespace {
bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}
}  // namespace

WindowId FakeWindowSystem::findByTitle(std::string_view title) {
    for (WindowId id : zOrder_) {
        if (sameIgnoringCase(windows_.at(id).title, title))
            return id;
    }
    return 0;
}

std::vector<WindowId> FakeWindowSystem::topLevelWindows() {
    return zOrder_;
}

std::string FakeWindowSystem::titleOf(WindowId window) {
    auto it = windows_.find(window);
    return it == windows_.end() ? std::string() : it->second.title;
}

void FakeWindowSystem::show(WindowId window, ShowCommand command) {
    auto it = windows_.find(window);
    if (it == windows_.end())
        return;
    Window& w = it->second;
    w.lastShow = command;
    w.visible = command != ShowCommand::Hide;
    if (command == ShowCommand::Minimized)
        w.minimized = true;
    else if (command == ShowCommand::Normal || command == ShowCommand::Maximized ||
             command == ShowCommand::Restore)
        w.minimized = false;
    ++changes_;
}

bool FakeWindowSystem::minimized(WindowId window) {
    auto it = windows_.find(window);
    return it != windows_.end() && it->second.minimized;
}

void FakeWindowSystem::bringToFront(WindowId window) {
    auto it = windows_.find(window);
    if (it == windows_.end())
        return;
    const bool ownFront =
        foreground_ != 0 && selfProcess != 0 && windows_.at(foreground_).owner == selfProcess;
    if (foreground_ != 0 && !ownFront && !lastInputOurs_) {
        ++it->second.flashes;
        return;
    }
    std::erase(zOrder_, window);
    zOrder_.insert(zOrder_.begin(), window);
    foreground_ = window;
}

void FakeWindowSystem::activate(WindowId window) {
    if (!windows_.contains(window))
        return;
    std::erase(zOrder_, window);
    zOrder_.insert(zOrder_.begin(), window);
    foreground_ = window;
    lastInputOurs_ = false;
}

void FakeWindowSystem::postClose(WindowId window) {
    auto it = windows_.find(window);
    if (it == windows_.end())
        return;
    ++it->second.closeRequests;
    if (onCloseRequest)
        onCloseRequest(window);
    if (closeOnRequest && exists(window))
        destroyWindow(window);
}

ProcessId FakeWindowSystem::ownerProcess(WindowId window) {
    auto it = windows_.find(window);
    return it == windows_.end() ? 0 : it->second.owner;
}

WindowId FakeWindowSystem::createWindow(std::string title, bool visible, ProcessId owner) {
    WindowId id = next_;
    next_ += 0x10;
    windows_[id] = Window{std::move(title), visible, owner};
    zOrder_.insert(zOrder_.begin(), id);
    ++changes_;
    return id;
}

void FakeWindowSystem::destroyWindow(WindowId window) {
    if (windows_.erase(window) != 0)
        ++changes_;
    std::erase(zOrder_, window);
    if (foreground_ == window)
        foreground_ = 0;
}

void FakeWindowSystem::setTitle(WindowId window, std::string title) {
    windows_.at(window).title = std::move(title);
    ++changes_;
}

void FakeWindowSystem::endProcess(ProcessId owner) {
    std::vector<WindowId> gone;
    for (auto& [id, w] : windows_) {
        if (w.owner == owner)
            gone.push_back(id);
    }
    for (WindowId id : gone) destroyWindow(id);
}

}  // namespace rk
