// The watched keys and the press detection of the keyboard poll.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/keyboard.h"

namespace rk {

// DirectInput key codes of the watched keys.
namespace dik {
constexpr std::uint8_t kSysRq = 0xB7;
constexpr std::uint8_t kF9 = 0x43;
constexpr std::uint8_t kF10 = 0x44;
constexpr std::uint8_t kF11 = 0x57;
constexpr std::uint8_t kF12 = 0x58;
constexpr std::uint8_t kPause = 0xC5;
constexpr std::uint8_t kScroll = 0x46;
}  // namespace dik

enum class KeyAction {
    Screenshot,
    Keybind1,
    Keybind2,
    Keybind3,
    Keybind4,
    FreezeEscape,
    GameToFront
};

struct WatchedKey {
    std::uint8_t code;
    KeyAction action;
};

// In the order a tick acts on them.
inline constexpr std::array<WatchedKey, 7> kWatchedKeys = {{
    {dik::kSysRq, KeyAction::Screenshot},
    {dik::kF9, KeyAction::Keybind1},
    {dik::kF10, KeyAction::Keybind2},
    {dik::kF11, KeyAction::Keybind3},
    {dik::kF12, KeyAction::Keybind4},
    {dik::kPause, KeyAction::FreezeEscape},
    {dik::kScroll, KeyAction::GameToFront},
}};

// A key acts once per press: when it is down now and was up at the previous read. Holding a
// key would otherwise store a screenshot or type a chat line in every 15 ms tick.
class KeyWatch {
  public:
    // The actions of the keys pressed since the previous snapshot, in table order.
    std::vector<KeyAction> pressed(const KeyState& now);

    // The program itself has just typed this key (a chat line holding "{F9}" or "{PRTSC}"): it
    // acts on no snapshot until one shows it up, or a line could type itself in a loop.
    void ignoreUntilReleased(std::uint8_t code) { ignored_[code] = true; }

    // A read failed: what the keys did meanwhile is unknown. A key seen down at the next read
    // acts as a new press; a release that went unseen must not swallow the next press.
    void forget() { previous_ = {}; }

  private:
    KeyState previous_{};
    std::array<bool, 256> ignored_{};
};

}  // namespace rk
