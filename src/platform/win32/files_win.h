// Files on kernel32 file attributes.
#pragma once

#include "platform/files.h"

namespace rk::win {

class Win32Files final : public Files {
  public:
    bool isFile(std::string_view path) override;
};

}  // namespace rk::win
