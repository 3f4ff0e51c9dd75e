#include "capture/quality.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/error.h"
#include "raised.h"

namespace rk {
namespace {

struct Converts {
    const char* text;
    std::int32_t value;
};

TEST(QualityText, ConvertsDecimalTextRoundingHalvesToEven) {
    const Converts table[] = {
        {"100", 100},
        {"75", 75},
        {"  75 ", 75},
        {"\t80", 80},
        {"+5", 5},
        {"-5", -5},
        {"007", 7},
        {"0", 0},
        {"-0", 0},
        {"74.5", 74},
        {"75.5", 76},
        {"74.51", 75},
        {"74.49", 74},
        {"0.5", 0},
        {"1.5", 2},
        {"-2.5", -2},
        {"-3.5", -4},
        {".5", 0},
        {".6", 1},
        {"5.", 5},
        // A double would see exactly one half here and round down to 0.
        {"0.50000000000000000001", 1},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"2147483646.5", 2147483646},
        {"-2147483648.4", INT_MIN},
        {"-2147483647.5", INT_MIN},
    };
    for (const auto& row : table) {
        EXPECT_EQ(QualityFromText(row.text), row.value) << '"' << row.text << '"';
    }
}

int errorFor(const char* text) {
    return errorOf([text] { QualityFromText(text); });
}

TEST(QualityText, TextThatIsNoNumberIsATypeMismatch) {
    for (const char* text : {"abc", "", " ", "1a", "a1", "1 2", "--1", "+", "-", ".", "1.2.3",
                             "0x10", "\xE2\x80\x8B"}) {
        EXPECT_EQ(errorFor(text), err::kTypeMismatch) << '"' << text << '"';
    }
}

TEST(QualityText, NumbersBeyondThirtyTwoBitsOverflow) {
    for (const char* text : {"2147483648", "-2147483649", "2147483647.5", "-2147483648.5001",
                             "99999999999999999999", "00000000002147483648"}) {
        EXPECT_EQ(errorFor(text), err::kOverflow) << '"' << text << '"';
    }
}

}  // namespace
}  // namespace rk
