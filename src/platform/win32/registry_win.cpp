// Implements: rk::win::Win32Registry (RegOpenKeyExW, RegCreateKeyExW, RegQueryValueExW).
#include "platform/win32/registry_win.h"

#include <windows.h>

#include <climits>
#include <cstring>
#include <string>

#include "platform/win32/text_win.h"

namespace rk::win {

namespace {

HKEY rootHandle(RegRoot root) {
    switch (root) {
        case RegRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        case RegRoot::LocalMachine:
            return HKEY_LOCAL_MACHINE;
    }
    return nullptr;
}

HKEY toHkey(RegKey key) {
    return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(key));
}
RegKey toRegKey(HKEY key) {
    return static_cast<RegKey>(reinterpret_cast<std::uintptr_t>(key));
}

REGSAM viewFlag(RegView view) {
    return view == RegView::Wow32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}

bool isText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

}  // namespace

RegKey Win32Registry::openKey(RegRoot root, std::string_view path, RegView view) {
    HKEY parent = rootHandle(root);
    if (!parent)
        return 0;
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, toWide(path).c_str(), 0, KEY_READ | viewFlag(view), &key) !=
        ERROR_SUCCESS)
        return 0;
    return toRegKey(key);
}

RegKey Win32Registry::createKey(RegRoot root, std::string_view path, RegView view) {
    HKEY parent = rootHandle(root);
    if (!parent)
        return 0;
    HKEY key = nullptr;
    if (RegCreateKeyExW(parent, toWide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE | viewFlag(view), nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return 0;
    }
    return toRegKey(key);
}

std::optional<RegData> Win32Registry::queryValue(RegKey key, std::string_view name) {
    if (key == 0)
        return std::nullopt;
    const std::wstring wname = toWide(name);
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(toHkey(key), wname.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    // The value may grow between the size query and the read; a few tries cover a writer
    // racing with us, anything beyond that counts as unreadable.
    std::vector<std::uint8_t> buffer;
    LONG status = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < 4 && status == ERROR_MORE_DATA; ++attempt) {
        buffer.assign(size, 0);
        DWORD got = size;
        status = RegQueryValueExW(toHkey(key), wname.c_str(), nullptr, &type,
                                  buffer.empty() ? nullptr : buffer.data(), &got);
        if (status == ERROR_SUCCESS)
            buffer.resize(got);
        // On ERROR_MORE_DATA, got holds the new size.
        size = got;
    }
    if (status != ERROR_SUCCESS)
        return std::nullopt;

    RegData data;
    data.type = static_cast<RegType>(type);
    if (!isText(type)) {
        data.bytes = std::move(buffer);
        return data;
    }
    // UTF-16 code units as far as the data goes; an odd trailing byte is not a character.
    std::wstring wide(buffer.size() / sizeof(wchar_t), L'\0');
    if (!wide.empty())
        std::memcpy(wide.data(), buffer.data(), wide.size() * sizeof(wchar_t));
    const std::string utf8 = toUtf8(wide);
    data.bytes.assign(utf8.begin(), utf8.end());
    return data;
}

bool Win32Registry::setValue(RegKey key, std::string_view name, RegType type,
                             std::span<const std::uint8_t> bytes) {
    if (key == 0)
        return false;
    const std::wstring wname = toWide(name);
    const auto rawType = static_cast<DWORD>(type);
    // Zero-length data still needs a valid pointer on some Windows versions.
    static const BYTE kEmpty[1] = {0};
    if (isText(rawType)) {
        // Stored without a terminating NUL: that is the settings store's format.
        const std::wstring wide =
            toWide(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        const std::size_t size = wide.size() * sizeof(wchar_t);
        if (size > static_cast<std::size_t>(UINT_MAX))
            return false;
        const BYTE* data = wide.empty() ? kEmpty : reinterpret_cast<const BYTE*>(wide.data());
        return RegSetValueExW(toHkey(key), wname.c_str(), 0, rawType, data,
                              static_cast<DWORD>(size)) == ERROR_SUCCESS;
    }
    if (bytes.size() > static_cast<std::size_t>(UINT_MAX))
        return false;
    const BYTE* data = bytes.empty() ? kEmpty : bytes.data();
    return RegSetValueExW(toHkey(key), wname.c_str(), 0, rawType, data,
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

void Win32Registry::closeKey(RegKey key) {
    if (key != 0)
        RegCloseKey(toHkey(key));
}

}  // namespace rk::win
