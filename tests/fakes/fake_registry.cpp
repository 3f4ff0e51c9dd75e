#include "fake_registry.h"

#include <algorithm>
#include <cctype>

namespace rk {

std::string FakeRegistry::lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

FakeRegistry::KeyName FakeRegistry::nameOf(RegRoot root, std::string_view path) {
    return {root, lower(path)};
}

RegKey FakeRegistry::openKey(RegRoot root, std::string_view path) {
    KeyName name = nameOf(root, path);
    if (!keys_.contains(name))
        return 0;
    RegKey key = next_++;
    handles_[key] = {name, false};  // opened for reading only, as Windows does
    return key;
}

RegKey FakeRegistry::createKey(RegRoot root, std::string_view path) {
    KeyName name = nameOf(root, path);
    if (denied_.contains(root))
        return 0;
    // Every parent comes into being with the key.
    for (size_t pos = 0; pos != std::string_view::npos;) {
        pos = path.find('\\', pos + 1);
        keys_[nameOf(root, path.substr(0, pos))];
    }
    RegKey key = next_++;
    handles_[key] = {name, true};
    return key;
}

std::optional<RegData> FakeRegistry::queryValue(RegKey key, std::string_view name) {
    auto handle = handles_.find(key);
    if (handle == handles_.end())
        return std::nullopt;
    auto& values = keys_[handle->second.key];
    auto value = values.find(lower(name));
    if (value == values.end())
        return std::nullopt;
    return value->second;
}

bool FakeRegistry::setValue(RegKey key, std::string_view name, RegType type,
                            std::span<const std::uint8_t> bytes) {
    auto handle = handles_.find(key);
    if (handle == handles_.end() || !handle->second.writable)
        return false;
    keys_[handle->second.key][lower(name)] = {type, {bytes.begin(), bytes.end()}};
    return true;
}

void FakeRegistry::closeKey(RegKey key) {
    handles_.erase(key);
}

void FakeRegistry::put(RegRoot root, std::string_view path, std::string_view name, RegType type,
                       std::vector<std::uint8_t> bytes) {
    keys_[nameOf(root, path)][lower(name)] = {type, std::move(bytes)};
}

void FakeRegistry::putText(RegRoot root, std::string_view path, std::string_view name,
                           std::string_view text) {
    put(root, path, name, RegType::Sz, {text.begin(), text.end()});
}

std::optional<RegData> FakeRegistry::get(RegRoot root, std::string_view path,
                                         std::string_view name) const {
    auto key = keys_.find(nameOf(root, path));
    if (key == keys_.end())
        return std::nullopt;
    auto value = key->second.find(lower(name));
    if (value == key->second.end())
        return std::nullopt;
    return value->second;
}

bool FakeRegistry::keyExists(RegRoot root, std::string_view path) const {
    return keys_.contains(nameOf(root, path));
}

}  // namespace rk
