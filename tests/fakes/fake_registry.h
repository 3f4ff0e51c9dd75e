// An in-memory registry: keys by (root, path) holding typed values, with refusals per root.
#pragma once

#include <map>
#include <set>
#include <string>
#include <tuple>

#include "platform/registry.h"

namespace rk {

class FakeRegistry : public Registry {
  public:
    RegKey openKey(RegRoot root, std::string_view path) override;
    RegKey createKey(RegRoot root, std::string_view path) override;
    std::optional<RegData> queryValue(RegKey key, std::string_view name) override;
    bool setValue(RegKey key, std::string_view name, RegType type,
                  std::span<const std::uint8_t> bytes) override;
    void closeKey(RegKey key) override;

    // Test set-up and inspection.
    void put(RegRoot root, std::string_view path, std::string_view name, RegType type,
             std::vector<std::uint8_t> bytes);
    void putText(RegRoot root, std::string_view path, std::string_view name, std::string_view text);
    std::optional<RegData> get(RegRoot root, std::string_view path, std::string_view name) const;
    bool keyExists(RegRoot root, std::string_view path) const;
    // Writes below this root are refused, as for an ordinary user under HKEY_LOCAL_MACHINE.
    void denyWrites(RegRoot root) { denied_.insert(root); }
    int openHandles() const { return static_cast<int>(handles_.size()); }

  private:
    // Key paths compare without regard to case, as in the registry.
    struct KeyName {
        RegRoot root;
        std::string lowerPath;
        auto operator<=>(const KeyName&) const = default;
    };
    struct Handle {
        KeyName key;
        bool writable;
    };
    static KeyName nameOf(RegRoot root, std::string_view path);
    static std::string lower(std::string_view text);

    std::map<KeyName, std::map<std::string, RegData>> keys_;
    std::map<RegKey, Handle> handles_;
    std::set<RegRoot> denied_;
    RegKey next_ = 0x100;
};

}  // namespace rk
