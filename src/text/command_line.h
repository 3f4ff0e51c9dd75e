// Forming command lines for the programs this one starts.
#pragma once

#include <string>
#include <string_view>

namespace rk {

// A path as one command-line word: quoted when it holds blanks.
inline std::string quotedPath(std::string_view path) {
    if (path.find_first_of(" \t") == std::string_view::npos)
        return std::string(path);
    return "\"" + std::string(path) + "\"";
}

}  // namespace rk
