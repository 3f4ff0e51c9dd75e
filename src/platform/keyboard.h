// The background keyboard device: the whole keyboard as 256 DirectInput key bytes.
#pragma once

#include <array>
#include <cstdint>

namespace rk {

// One byte per DirectInput key code; non-zero means down.
using KeyState = std::array<std::uint8_t, 256>;

class KeyboardDevice {
  public:
    virtual ~KeyboardDevice() = default;
    // Create, set the keyboard format, non-exclusive background level, acquire. Raises RaidError.
    virtual void setUp() = 0;
    // One read of the whole keyboard; false when the device is lost or not acquired.
    virtual bool read(KeyState& state) = 0;
    // Try to get the device back after a failed read; failures are ignored.
    virtual void reacquire() = 0;
    virtual void unacquire() = 0;
};

}  // namespace rk
