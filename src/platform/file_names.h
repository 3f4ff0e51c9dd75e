// Whether Windows takes a path as the name of a file of its own: the rule every file call of
// the program, and every fake of one, applies before it acts.
#pragma once

#include <array>
#include <cctype>
#include <cstddef>
#include <string_view>

namespace rk {

// Longest path Windows takes without long-path support: MAX_PATH less its terminating NUL, in
// UTF-16 units.
inline constexpr std::size_t kLongestPath = 259;

namespace file_names_detail {

inline bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9 name devices, whatever extension follows.
inline bool isDeviceName(std::string_view component) {
    std::string_view base = component.substr(0, component.find('.'));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    for (std::string_view device : {"CON", "PRN", "AUX", "NUL"}) {
        if (sameIgnoringCase(base, device))
            return true;
    }
    if (base.size() == 4 && base[3] >= '1' && base[3] <= '9')
        return sameIgnoringCase(base.substr(0, 3), "COM") ||
               sameIgnoringCase(base.substr(0, 3), "LPT");
    return false;
}

inline bool takesComponent(std::string_view component) {
    if (component.empty() || component == "." || component == "..")
        return true;
    for (char c : component) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32 || std::string_view("<>:\"|?*").find(c) != std::string_view::npos)
            return false;
    }
    // Windows drops a trailing dot or blank: the file made would bear another name.
    if (component.back() == '.' || component.back() == ' ')
        return false;
    return !isDeviceName(component);
}

}  // namespace file_names_detail

// False for the empty path, a NUL, a control character or one of < > : " | ? * in a name, a
// name ending in a dot or blank, a device name (CON, NUL, COM1...), and a path longer than
// kLongestPath. A drive ("C:") may lead the path.
inline bool WindowsTakesPath(std::string_view path) {
    if (path.empty())
        return false;
    std::size_t units = 0;
    for (char c : path) {
        const auto u = static_cast<unsigned char>(c);
        units += (u & 0xC0) != 0x80;  // one per character...
        units += u >= 0xF0;           // ...and two for one beyond the basic plane
    }
    if (units > kLongestPath)
        return false;
    std::string_view rest = path;
    if (rest.size() >= 2 && rest[1] == ':' && std::isalpha(static_cast<unsigned char>(rest[0])))
        rest.remove_prefix(2);
    while (!rest.empty()) {
        const std::size_t slash = rest.find('\\');
        if (!file_names_detail::takesComponent(rest.substr(0, slash)))
            return false;
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    }
    return true;
}

}  // namespace rk
