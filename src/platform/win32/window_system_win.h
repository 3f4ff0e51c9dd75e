// WindowSystem on user32: WindowId is the HWND value.
#pragma once

#include <windows.h>

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
    WindowId findByTitle(std::string_view title) override;
    std::vector<WindowId> topLevelWindows() override;
    std::string titleOf(WindowId window) override;
    void show(WindowId window, ShowCommand command) override;
    void bringToFront(WindowId window) override;
    void postClose(WindowId window) override;
    ProcessId ownerProcess(WindowId window) override;
};

}  // namespace rk::win
