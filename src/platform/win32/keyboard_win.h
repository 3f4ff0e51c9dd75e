// KeyboardDevice on DirectInput 8: the system keyboard, non-exclusive, read in the background.
#pragma once

#define DIRECTINPUT_VERSION 0x0800
#include <dinput.h>
#include <windows.h>

#include "platform/keyboard.h"
#include "platform/win32/handles_win.h"

namespace rk::win {

class DirectInputKeyboard final : public KeyboardDevice {
  public:
    // The window the device's cooperative level is bound to; it must outlive the device.
    explicit DirectInputKeyboard(HWND window);
    ~DirectInputKeyboard() override;

    void setUp() override;
    bool read(KeyState& state) override;
    void reacquire() override;
    void unacquire() override;

  private:
    HWND window_;
    // Released in reverse: the device before the object that made it, the library last.
    UniqueModule dinput_;
    ComPtr<IDirectInput8W> input_;
    ComPtr<IDirectInputDevice8W> device_;
};

}  // namespace rk::win
