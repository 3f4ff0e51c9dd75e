// How the screenshot code puts a modal box in front of the player. Form1 passes its
// dispatcher's messageBox, so that no timer tick runs while the box is up.
#pragma once

#include <functional>
#include <string_view>

#include "platform/dialogs.h"

namespace rk {

using ShowBox = std::function<void(std::string_view text, std::string_view title, BoxIcon icon)>;

}  // namespace rk
