// Small helpers shared by the contract suites.
#pragma once

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace rk::contract {

inline std::vector<std::uint8_t> bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

inline std::string textOf(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

// A folder listing without regard to case or order, so that a stray file shows by name.
inline std::vector<std::string> caseBlindSorted(std::vector<std::string> names) {
    for (std::string& name : names) {
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Polls until the condition holds; between polls pump() lets the system deliver messages.
inline bool waitFor(const std::function<bool()>& condition, const std::function<void()>& pump,
                    std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        pump();
    }
}

}  // namespace rk::contract
