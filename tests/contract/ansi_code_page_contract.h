// What every AnsiCodePage must do for Windows-1252, the code page of the profiles this program
// edits on western systems. Instantiated with a harness type:
//
//   struct Harness {
//       AnsiCodePage& codePage();
//       bool isWindows1252();  // whether the system's ANSI code page is 1252 at all
//   };
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/text_files.h"

namespace rk::contract {

template <class Harness>
class AnsiCodePageContract : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!h.isWindows1252())
            GTEST_SKIP() << "the system's ANSI code page is not Windows-1252";
    }
    AnsiCodePage& cp() { return h.codePage(); }

    Harness h;
};

TYPED_TEST_SUITE_P(AnsiCodePageContract);

TYPED_TEST_P(AnsiCodePageContract, AsciiIsTheSameBytesBothWays) {
    std::string ascii(1, '\0');
    for (int c = 1; c < 0x80; ++c) ascii += static_cast<char>(c);
    for (const std::string& text : {std::string(), std::string("\"name\" \"Bob\""), ascii}) {
        EXPECT_EQ(this->cp().toUtf8(text), text);
        EXPECT_EQ(this->cp().fromUtf8(text), text);
    }
}

TYPED_TEST_P(AnsiCodePageContract, CodePageCharactersMapBothWays) {
    struct Case {
        char byte;
        const char* utf8;
    };
    const Case cases[] = {
        {'\xE9', "\xC3\xA9"},      // é
        {'\x80', "\xE2\x82\xAC"},  // €
        {'\x8A', "\xC5\xA0"},      // Š
        {'\x99', "\xE2\x84\xA2"},  // ™
        {'\x9F', "\xC5\xB8"},      // Ÿ
        {'\xA0', "\xC2\xA0"},      // no-break space
        {'\xA4', "\xC2\xA4"},      // ¤, where 8859-15 has €
        {'\xFF', "\xC3\xBF"},      // ÿ
    };
    for (const Case& c : cases) {
        const std::string byte(1, c.byte);
        EXPECT_EQ(this->cp().toUtf8(byte), c.utf8) << c.utf8;
        EXPECT_EQ(this->cp().fromUtf8(c.utf8), byte) << c.utf8;
    }
    EXPECT_EQ(this->cp().fromUtf8("B\xC3\xB6rk \xE2\x82\xAC"), "B\xF6rk \x80");
}

TYPED_TEST_P(AnsiCodePageContract, UnassignedBytesComeOutAsTheirC1ControlsAndGoBack) {
    // Windows' table for 1252 gives its five unassigned bytes the C1 controls of the same
    // number, so that a profile holding them is written back unchanged.
    for (const char* byte : {"\x81", "\x8D", "\x8F", "\x90", "\x9D"}) {
        const std::string control =
            std::string("\xC2") + static_cast<char>(static_cast<unsigned char>(byte[0]));
        EXPECT_EQ(this->cp().toUtf8(byte), control) << std::hex << (byte[0] & 0xFF);
        EXPECT_EQ(this->cp().fromUtf8(control), byte) << std::hex << (byte[0] & 0xFF);
    }
}

TYPED_TEST_P(AnsiCodePageContract, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(this->cp().fromUtf8(this->cp().toUtf8(all)), all);
}

TYPED_TEST_P(AnsiCodePageContract, TextTheCodePageCannotHoldHasNoForm) {
    // Each would otherwise come out as '?' or as a look-alike ("A" for "Ā").
    const char* texts[] = {
        "\xE6\x97\xA5",                  // 日
        "Bob\xE6\x97\xA5",               // a CJK character after ASCII
        "\xF0\x9F\x98\x80",              // an emoji, outside the BMP
        "\xC4\x80",                      // Ā
        "\xC5\x82",                      // ł
        "\xE2\x88\x92",                  // minus sign
        "\xEF\xBF\xBD",                  // the replacement character itself
        "\xC3\xA9\xE2\x82\xAC\xD0\x96",  // é € Ж: one missing character is enough
    };
    for (const char* text : texts) EXPECT_EQ(this->cp().fromUtf8(text), std::nullopt) << text;
}

TYPED_TEST_P(AnsiCodePageContract, MalformedUtf8HasNoForm) {
    const std::string texts[] = {
        "\xC3",  // cut short
        "a\xFF"
        "b",                 // never part of UTF-8
        "\x80",              // a continuation byte alone
        "\xC0\xAF",          // "/" in two bytes
        "\xE0\x80\xC1",      // overlong and broken
        "\xED\xA0\x80",      // a surrogate
        "\xF4\x90\x80\x80",  // beyond U+10FFFF
    };
    for (const std::string& text : texts)
        EXPECT_EQ(this->cp().fromUtf8(text), std::nullopt) << ::testing::PrintToString(text);
}

REGISTER_TYPED_TEST_SUITE_P(AnsiCodePageContract, AsciiIsTheSameBytesBothWays,
                            CodePageCharactersMapBothWays,
                            UnassignedBytesComeOutAsTheirC1ControlsAndGoBack,
                            EveryByteSurvivesTheRoundTrip, TextTheCodePageCannotHoldHasNoForm,
                            MalformedUtf8HasNoForm);

}  // namespace rk::contract
