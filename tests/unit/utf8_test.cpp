#include "text/utf8.h"

#include <gtest/gtest.h>

namespace rk {
namespace {

TEST(Utf8, EncodesAndDecodesEveryLength) {
    struct Case {
        std::u32string text;
        std::string bytes;
    };
    const Case cases[] = {
        {U"", ""},
        {U"Ironveil", "Ironveil"},
        {U"\u00E9", "\xC3\xA9"},
        {U"\u07FF", "\xDF\xBF"},
        {U"\u0800", "\xE0\xA0\x80"},
        {U"\u20AC", "\xE2\x82\xAC"},
        {U"\uFFFD", "\xEF\xBF\xBD"},
        {U"\U00010000", "\xF0\x90\x80\x80"},
        {U"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
        {std::u32string(U"a\0b", 3), std::string("a\0b", 3)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toUtf8(c.text), c.bytes);
        std::u32string decoded;
        EXPECT_TRUE(decodeUtf8(c.bytes, decoded)) << c.bytes;
        EXPECT_EQ(decoded, c.text) << c.bytes;
    }
}

TEST(Utf8, RefusesMalformedTextAndTellsWhereItStops) {
    struct Case {
        std::string bytes;
        std::size_t goodBefore;  // characters decoded before the fault
    };
    const Case cases[] = {
        {"ab\x80", 2},              // stray continuation byte
        {"\xC0\xAF", 0},            // overlong '/'
        {"x\xE0\x80\xAF", 1},       // overlong three-byte form
        {"\xED\xA0\x80", 0},        // surrogate
        {"ok\xF4\x90\x80\x80", 2},  // past U+10FFFF
        {"\xF5\x80\x80\x80", 0},    // lead byte that starts nothing
        {"\xC3", 0},                // cut off at the end
        {"\xE2\x82z", 0},           // cut off by an ASCII byte
        {"\xC3\xA9\xFF", 1},
    };
    for (const Case& c : cases) {
        std::u32string decoded;
        EXPECT_FALSE(decodeUtf8(c.bytes, decoded)) << testing::PrintToString(c.bytes);
        EXPECT_EQ(decoded.size(), c.goodBefore) << testing::PrintToString(c.bytes);
    }
}

}  // namespace
}  // namespace rk
