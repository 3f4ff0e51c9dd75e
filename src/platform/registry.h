// Registry access as the settings store needs it: open/create a key, one value at a time.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace rk {

enum class RegRoot : std::uint32_t {
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
};

enum class RegType : std::uint32_t {
    None = 0,
    Sz = 1,
    ExpandSz = 2,
    Binary = 3,
    Dword = 4,
};

// A 64-bit Windows keeps two views of HKEY_LOCAL_MACHINE\SOFTWARE: 32-bit programs see theirs
// (stored below SOFTWARE\WOW6432Node), 64-bit programs the native one. Other keys look the
// same in both.
enum class RegView : std::uint8_t {
    Native,
    Wow32,
};

// Open key handle; 0 means none.
using RegKey = std::uint64_t;

// A value as stored. For text types the bytes are the text in UTF-8, exactly as far as the
// stored data goes: a terminating NUL is there only when the platform returned one.
struct RegData {
    RegType type = RegType::None;
    std::vector<std::uint8_t> bytes;
};

class Registry {
  public:
    virtual ~Registry() = default;
    // Existing key only; 0 when it is missing or cannot be opened.
    virtual RegKey openKey(RegRoot root, std::string_view path, RegView view) = 0;
    // Opens the key, creating it and every missing parent; 0 when refused.
    virtual RegKey createKey(RegRoot root, std::string_view path, RegView view) = 0;
    // nullopt when the value is missing or cannot be read.
    virtual std::optional<RegData> queryValue(RegKey key, std::string_view name) = 0;
    // Text types take UTF-8 bytes; false when refused.
    virtual bool setValue(RegKey key, std::string_view name, RegType type,
                          std::span<const std::uint8_t> bytes) = 0;
    virtual void closeKey(RegKey key) = 0;
};

}  // namespace rk
