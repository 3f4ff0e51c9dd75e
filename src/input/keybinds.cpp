#include "input/keybinds.h"

#include <array>
#include <string_view>
#include <utility>

namespace rk {

namespace {

void replaceAll(std::string& text, std::string_view variable, std::uint64_t& counter) {
    std::size_t at = text.find(variable);
    if (at == std::string::npos)
        return;
    const std::string value = std::to_string(++counter);
    while (at != std::string::npos) {
        text.replace(at, variable.size(), value);
        // Digits cannot start a variable, so the search goes on after them.
        at = text.find(variable, at + value.size());
    }
}

}  // namespace

std::string& KeybindCounters::Parse_Vars(std::string& txtText) {
    const std::array<std::pair<std::string_view, std::uint64_t*>, 4> variables = {{
        {"$a", &CountA},
        {"$b", &CountB},
        {"$c", &CountC},
        {"$d", &CountD},
    }};
    for (auto& [variable, counter] : variables) replaceAll(txtText, variable, *counter);
    return txtText;
}

}  // namespace rk
