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
// Machine-wide values are those of the 32-bit view, where the 32-bit game keeps its key. A
// machine-wide read takes the first of: the per-user copy (see WriteRegString); the copy that
// Windows keeps in the user's VirtualStore for a 32-bit program that is not allowed to write
// machine-wide (a settings tool of the game run as an ordinary user); the 32-bit view.
std::string ReadRegString(Registry& reg, RegRoot root, std::string_view path,
                          std::string_view name);

// Where Windows keeps a 32-bit program's writes to HKEY_LOCAL_MACHINE\path when the program
// may not write there: a key path under HKEY_CURRENT_USER. "" for a path outside SOFTWARE.
std::string VirtualStorePath(std::string_view path);

// Stores the text as REG_SZ without a terminating NUL. Never fails; a refused write is lost.
// Machine-wide writes go to the 32-bit view; the VirtualStore copy is Windows' own and is never
// written.
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
