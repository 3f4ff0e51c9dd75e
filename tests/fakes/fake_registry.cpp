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

FakeRegistry::KeyName FakeRegistry::nameOf(RegRoot root, std::string_view path, RegView view) {
    std::string key = lower(path);
    constexpr std::string_view kSoftware = "software";
    constexpr std::string_view kWow = "\\wow6432node";
    const bool software = key.starts_with(kSoftware) &&
                          (key.size() == kSoftware.size() || key[kSoftware.size()] == '\\');
    const bool already = software && key.compare(kSoftware.size(), kWow.size(), kWow) == 0;
    if (root == RegRoot::LocalMachine && view == RegView::Wow32 && software && !already)
        key.insert(kSoftware.size(), kWow);
    return {root, std::move(key)};
}

RegKey FakeRegistry::openKey(RegRoot root, std::string_view path, RegView view) {
    if (fault(Call::RegistryOpen))
        return 0;
    KeyName name = nameOf(root, path, view);
    if (!keys_.contains(name))
        return 0;
    RegKey key = next_++;
    handles_[key] = {name, false};  // opened for reading only, as Windows does
    return key;
}

RegKey FakeRegistry::createKey(RegRoot root, std::string_view path, RegView view) {
    if (fault(Call::RegistryCreate))
        return 0;
    KeyName name = nameOf(root, path, view);
    if (denied_.contains(root))
        return 0;
    // Every parent comes into being with the key.
    const std::string_view stored = name.lowerPath;
    for (size_t pos = 0; pos != std::string_view::npos;) {
        pos = stored.find('\\', pos + 1);
        keys_[{root, std::string(stored.substr(0, pos))}];
    }
    RegKey key = next_++;
    handles_[key] = {name, true};
    return key;
}

std::optional<RegData> FakeRegistry::queryValue(RegKey key, std::string_view name) {
    if (fault(Call::RegistryQuery))
        return std::nullopt;
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
    if (fault(Call::RegistrySet))
        return false;
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
                       std::vector<std::uint8_t> bytes, RegView view) {
    keys_[nameOf(root, path, view)][lower(name)] = {type, std::move(bytes)};
}

void FakeRegistry::putText(RegRoot root, std::string_view path, std::string_view name,
                           std::string_view text, RegView view) {
    put(root, path, name, RegType::Sz, {text.begin(), text.end()}, view);
}

std::optional<RegData> FakeRegistry::get(RegRoot root, std::string_view path, std::string_view name,
                                         RegView view) const {
    auto key = keys_.find(nameOf(root, path, view));
    if (key == keys_.end())
        return std::nullopt;
    auto value = key->second.find(lower(name));
    if (value == key->second.end())
        return std::nullopt;
    return value->second;
}

bool FakeRegistry::keyExists(RegRoot root, std::string_view path, RegView view) const {
    return keys_.contains(nameOf(root, path, view));
}

int FakeRegistry::valueCount(RegRoot root, std::string_view pathPrefix) const {
    const std::string prefix = lower(pathPrefix);
    int count = 0;
    for (const auto& [name, values] : keys_) {
        if (name.root == root && name.lowerPath.starts_with(prefix))
            count += static_cast<int>(values.size());
    }
    return count;
}

}  // namespace rk
