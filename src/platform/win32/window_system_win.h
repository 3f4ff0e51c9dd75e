// WindowSystem on user32: WindowId is the HWND value.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/win32/handles_win.h"
#include "platform/window_system.h"

namespace rk::win {

inline HWND toHwnd(WindowId id) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(id));
}
inline WindowId toWindowId(HWND hwnd) {
    return static_cast<WindowId>(reinterpret_cast<std::uintptr_t>(hwnd));
}

class Win32WindowSystem final : public WindowSystem {
  public:
    // Starts watching the top-level windows for changeCount; the events are delivered to the
    // calling thread while it pumps messages.
    Win32WindowSystem();

    WindowId findByTitle(std::string_view title) override;
    std::vector<WindowId> topLevelWindows() override;
    std::string titleOf(WindowId window) override;
    void show(WindowId window, ShowCommand command) override;
    bool minimized(WindowId window) override;
    void claimForeground() override;
    void bringToFront(WindowId window) override;
    void postClose(WindowId window) override;
    ProcessId ownerProcess(WindowId window) override;
    std::uint64_t changeCount() override;

  private:
    UniqueWinEventHook lifecycle_;  // created, destroyed, shown, hidden
    UniqueWinEventHook renamed_;
    std::uint64_t unwatchedCalls_ = 0;
};

}  // namespace rk::win
