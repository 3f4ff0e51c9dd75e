// Registry on the Windows registry API (wide functions, native view).
#pragma once

#include "platform/registry.h"

namespace rk::win {

class Win32Registry final : public Registry {
  public:
    RegKey openKey(RegRoot root, std::string_view path, RegView view) override;
    RegKey createKey(RegRoot root, std::string_view path, RegView view) override;
    std::optional<RegData> queryValue(RegKey key, std::string_view name) override;
    bool setValue(RegKey key, std::string_view name, RegType type,
                  std::span<const std::uint8_t> bytes) override;
    void closeKey(RegKey key) override;
};

}  // namespace rk::win
