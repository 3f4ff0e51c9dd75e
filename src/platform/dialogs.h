// Modal boxes shown to the player.
#pragma once

#include <string_view>

namespace rk {

enum class BoxIcon { None, Error, Information };

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // Modal; returns when the player has closed it.
    virtual void messageBox(std::string_view text, std::string_view title, BoxIcon icon) = 0;
};

}  // namespace rk
