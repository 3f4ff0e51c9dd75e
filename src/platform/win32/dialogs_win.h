// Dialogs on MessageBoxW.
#pragma once

#include "platform/dialogs.h"

namespace rk::win {

class Win32Dialogs final : public Dialogs {
  public:
    void messageBox(std::string_view text, std::string_view title, BoxIcon icon) override;
};

}  // namespace rk::win
