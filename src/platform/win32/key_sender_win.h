// KeySender on SendInput.
#pragma once

#include "platform/key_sender.h"

namespace rk::win {

class SendInputKeySender final : public KeySender {
  public:
    void send(std::span<const KeyEvent> events) override;
};

}  // namespace rk::win
