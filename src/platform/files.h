// File-system look-ups the core needs.
#pragma once

#include <string_view>

namespace rk {

class Files {
  public:
    virtual ~Files() = default;
    // True for an existing file (not a folder), whatever its attributes.
    virtual bool isFile(std::string_view path) = 0;
};

}  // namespace rk
