// The JPEG quality box's text: any bytes, and numbers written in the many ways the grammar
// allows. Checked against a reading made here with 128-bit arithmetic on the digits.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "capture/quality.h"
#include "fuzz_check.h"
#include "platform/error.h"

namespace {

// Number (value), no number (13) or too large (6).
struct Reading {
    int error = 0;
    std::int64_t value = 0;
    bool operator==(const Reading&) const = default;
};

// Blanks (space, tab) around an optional sign, digits, an optional point and more digits; at
// least one digit. A fraction rounds to the nearest integer, an exact half to the even one.
Reading expected(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    std::string_view t = text.substr(b, e - b);
    bool negative = false;
    if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    const std::size_t point = t.find('.');
    const std::string_view whole = t.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : t.substr(point + 1);
    auto digitsOnly = [](std::string_view s) {
        return s.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (!digitsOnly(whole) || !digitsOnly(fraction) || whole.size() + fraction.size() == 0)
        return {13, 0};

    __int128 value = 0;
    for (char c : whole) {
        value = value * 10 + (c - '0');
        if (value > (__int128{1} << 40))
            return {6, 0};  // far past any 32-bit number, however it rounds
    }
    // Compare the fraction with one half: 0.5 followed by zeros is exactly half.
    const std::string_view rest = fraction.empty() ? "" : fraction.substr(1);
    const int first = fraction.empty() ? 0 : fraction[0] - '0';
    const bool restZero = rest.find_first_not_of('0') == std::string_view::npos;
    const int vsHalf = first != 5 ? (first > 5 ? 1 : -1) : (restZero ? 0 : 1);
    if (vsHalf > 0 || (vsHalf == 0 && value % 2 != 0))
        value += 1;
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return {6, 0};
    return {0, static_cast<std::int64_t>(value)};
}

Reading actual(const std::string& text) {
    try {
        return {0, rk::QualityFromText(text)};
    } catch (const rk::RaidError& e) {
        return {e.number(), 0};
    }
}

// A number written with blanks, sign, leading zeros and a fraction picked by the input.
std::string written(FuzzedDataProvider& in) {
    static const char* kBlanks[] = {"", " ", "\t", "  \t"};
    std::string text = kBlanks[in.ConsumeIntegralInRange(0, 3)];
    text += "+-"[in.ConsumeIntegralInRange(0, 1)];
    if (in.ConsumeBool())
        text.pop_back();
    text += std::string(in.ConsumeIntegralInRange(0, 12), '0');
    const std::int64_t whole = in.ConsumeIntegralInRange<std::int64_t>(0, 4294967296);
    if (whole != 0 || in.ConsumeBool())
        text += std::to_string(whole);
    if (in.ConsumeBool()) {
        text += '.';
        static const char* kFractions[] = {
            "", "5", "50", "500000000000000000001", "4999999999", "49", "51", "0", "9"};
        text += kFractions[in.ConsumeIntegralInRange(0, 8)];
    }
    text += kBlanks[in.ConsumeIntegralInRange(0, 3)];
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string text = in.ConsumeBool() ? written(in) : in.ConsumeRemainingBytesAsString();
    const Reading want = expected(text);
    const Reading got = actual(text);
    FUZZ_CHECK(got == want, rk::fuzz::shown(text)
                                << " gives error " << got.error << " value " << got.value
                                << ", expected error " << want.error << " value " << want.value);
    return 0;
}
