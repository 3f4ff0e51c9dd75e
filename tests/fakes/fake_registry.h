// An in-memory registry: keys by (root, path) holding typed values, with refusals per root.
// The 32-bit view of HKEY_LOCAL_MACHINE\SOFTWARE is kept below SOFTWARE\WOW6432Node, as a
// 64-bit Windows stores it; the test helpers take plain paths in the view they are given.
#pragma once

#include <map>
#include <set>
#include <string>
#include <tuple>

#include "fault_plan.h"
#include "platform/registry.h"

namespace rk {

class FakeRegistry : public Registry, public Faultable {
  public:
    RegKey openKey(RegRoot root, std::string_view path, RegView view) override;
    RegKey createKey(RegRoot root, std::string_view path, RegView view) override;
    std::optional<RegData> queryValue(RegKey key, std::string_view name) override;
    bool setValue(RegKey key, std::string_view name, RegType type,
                  std::span<const std::uint8_t> bytes) override;
    void closeKey(RegKey key) override;

    // Test set-up and inspection.
    void put(RegRoot root, std::string_view path, std::string_view name, RegType type,
             std::vector<std::uint8_t> bytes, RegView view = RegView::Native);
    void putText(RegRoot root, std::string_view path, std::string_view name, std::string_view text,
                 RegView view = RegView::Native);
    std::optional<RegData> get(RegRoot root, std::string_view path, std::string_view name,
                               RegView view = RegView::Native) const;
    bool keyExists(RegRoot root, std::string_view path, RegView view = RegView::Native) const;
    // Every value stored below root, for checks that a place was left alone.
    int valueCount(RegRoot root, std::string_view pathPrefix) const;
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
    static KeyName nameOf(RegRoot root, std::string_view path, RegView view);
    static std::string lower(std::string_view text);

    std::map<KeyName, std::map<std::string, RegData>> keys_;
    std::map<RegKey, Handle> handles_;
    std::set<RegRoot> denied_;
    RegKey next_ = 0x100;
};

}  // namespace rk
