#include "settings/reg_support.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace rk {

namespace {

// Closes the key on every path out of a read or write.
class KeyGuard {
  public:
    KeyGuard(Registry& reg, RegKey key) : reg_(reg), key_(key) {}
    ~KeyGuard() {
        if (key_ != 0)
            reg_.closeKey(key_);
    }
    KeyGuard(const KeyGuard&) = delete;
    KeyGuard& operator=(const KeyGuard&) = delete;
    RegKey get() const { return key_; }

  private:
    Registry& reg_;
    RegKey key_;
};

// Text is the data up to the first NUL; data without any NUL is text as a whole, which is how
// a value stored without terminator may come back.
std::string textOf(const std::vector<std::uint8_t>& bytes) {
    auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    return std::string(bytes.begin(), end);
}

// The first two bytes as a signed little-endian number. Data longer than the four-byte read
// buffer does not fit it and reads as "".
std::string binaryText(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() > 4)
        return {};
    std::uint8_t buffer[4] = {0, 0, 0, 0};
    std::copy(bytes.begin(), bytes.end(), buffer);
    auto value = static_cast<std::int16_t>(static_cast<std::uint16_t>(buffer[0]) |
                                           static_cast<std::uint16_t>(buffer[1]) << 8);
    return std::to_string(value);
}

// The game is a 32-bit program: its key, and every machine-wide value it or its tools see, is
// in the 32-bit view.
RegView viewOf(RegRoot root) {
    return root == RegRoot::LocalMachine ? RegView::Wow32 : RegView::Native;
}

std::optional<std::string> readFrom(Registry& reg, RegRoot root, std::string_view path,
                                    std::string_view name) {
    KeyGuard key(reg, reg.openKey(root, path, viewOf(root)));
    if (key.get() == 0)
        return std::nullopt;
    return QueryRegValue(reg, key.get(), name);
}

void writeTo(Registry& reg, RegRoot root, std::string_view path, std::string_view name,
             std::string_view text) {
    KeyGuard key(reg, reg.createKey(root, path, viewOf(root)));
    if (key.get() == 0)
        return;
    auto data = reinterpret_cast<const std::uint8_t*>(text.data());
    reg.setValue(key.get(), name, RegType::Sz, {data, text.size()});
}

}  // namespace

std::optional<std::string> QueryRegValue(Registry& reg, RegKey key, std::string_view name) {
    auto value = reg.queryValue(key, name);
    if (!value)
        return std::nullopt;
    switch (value->type) {
        case RegType::Sz:
            return textOf(value->bytes);
        case RegType::Binary:
            return binaryText(value->bytes);
        default:
            return std::string();
    }
}

std::string VirtualStorePath(std::string_view path) {
    constexpr std::string_view kSoftware = "SOFTWARE\\";
    constexpr std::string_view kStore =
        "Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\WOW6432Node\\";
    if (path.size() < kSoftware.size())
        return {};
    for (std::size_t i = 0; i < kSoftware.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(path[i])) != kSoftware[i])
            return {};
    }
    std::string store(kStore);
    store += path.substr(kSoftware.size());
    return store;
}

std::string ReadRegString(Registry& reg, RegRoot root, std::string_view path,
                          std::string_view name) {
    if (root == RegRoot::LocalMachine) {
        if (auto own = readFrom(reg, RegRoot::CurrentUser, path, name))
            return *own;
        if (const std::string store = VirtualStorePath(path); !store.empty()) {
            if (auto virtualised = readFrom(reg, RegRoot::CurrentUser, store, name))
                return *virtualised;
        }
    }
    return readFrom(reg, root, path, name).value_or(std::string());
}

void WriteRegString(Registry& reg, RegRoot root, std::string_view path, std::string_view name,
                    std::string_view text) {
    writeTo(reg, root, path, name, text);
    if (root == RegRoot::LocalMachine)
        writeTo(reg, RegRoot::CurrentUser, path, name, text);
}

std::string ReadSetting(Registry& reg, std::string_view name) {
    return ReadRegString(reg, RegRoot::LocalMachine, kSettingsKey, name);
}

void WriteSetting(Registry& reg, std::string_view name, std::string_view text) {
    WriteRegString(reg, RegRoot::LocalMachine, kSettingsKey, name, text);
}

}  // namespace rk
