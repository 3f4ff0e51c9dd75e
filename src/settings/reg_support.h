// The settings store: every setting is one text value under the game's registry key.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace rk {

// The game's own key; every setting of the program lives there.
inline constexpr std::string_view kSettingsKey = "SOFTWARE\\Kestrane\\Kestrane Games\\Ironveil";

// The text of one value, or "" when it is missing, unreadable or of another type. Never fails.
// Machine-wide reads look at the per-user copy first (see WriteRegString).
std::string ReadRegString(Registry& reg, RegRoot root, std::string_view path,
                          std::string_view name);

// Stores the text as REG_SZ without a terminating NUL. Never fails; a refused write is lost.
// A machine-wide write is also made per user: an ordinary account may not write below
// HKEY_LOCAL_MACHINE, and settings must still survive a restart there.
void WriteRegString(Registry& reg, RegRoot root, std::string_view path, std::string_view name,
                    std::string_view text);

// The value of an open key as text (the inner step of ReadRegString); nullopt when the value
// cannot be read at all, as opposed to reading as "".
std::optional<std::string> QueryRegValue(Registry& reg, RegKey key, std::string_view name);

// Shorthands for the program's own key.
std::string ReadSetting(Registry& reg, std::string_view name);
void WriteSetting(Registry& reg, std::string_view name, std::string_view text);

}  // namespace rk
