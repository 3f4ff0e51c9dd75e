#include "capture/quality.h"

#include <cctype>
#include <cstdint>

#include "platform/error.h"

namespace rk {

namespace {

[[noreturn]] void typeMismatch() {
    throw RaidError(err::kTypeMismatch, "Raidkit", "Type mismatch");
}
[[noreturn]] void overflow() {
    throw RaidError(err::kOverflow, "Raidkit", "Overflow");
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::int32_t QualityFromText(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);

    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::size_t i = 0;
    while (i < text.size() && isDigit(text[i])) ++i;
    std::string_view whole = text.substr(0, i);
    std::string_view fraction;
    if (i < text.size() && text[i] == '.') {
        std::size_t j = i + 1;
        while (j < text.size() && isDigit(text[j])) ++j;
        fraction = text.substr(i + 1, j - i - 1);
        i = j;
    }
    if (i != text.size() || (whole.empty() && fraction.empty()))
        typeMismatch();

    // Exact decimal arithmetic: going through a double would round 2147483647.5 or long
    // fractions wrongly.
    while (whole.size() > 1 && whole.front() == '0') whole.remove_prefix(1);
    if (whole.size() > 10)
        overflow();
    std::int64_t value = 0;
    for (char c : whole) value = value * 10 + (c - '0');

    if (!fraction.empty()) {
        const int first = fraction.front() - '0';
        bool restNonZero = false;
        for (char c : fraction.substr(1)) restNonZero = restNonZero || c != '0';
        if (first > 5 || (first == 5 && (restNonZero || value % 2 == 1)))
            ++value;
    }
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        overflow();
    return static_cast<std::int32_t>(value);
}

}  // namespace rk
