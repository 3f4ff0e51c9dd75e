// The Win32 layer's one UTF-8 <-> UTF-16 conversion.
#include "platform/win32/text_win.h"

#include <gtest/gtest.h>

namespace rk::win {
namespace {

struct Pair {
    const char* what;
    std::string utf8;
    std::wstring wide;
};

TEST(TextConversion, RoundTripsEveryPlane) {
    const Pair pairs[] = {
        {"empty", "", L""},
        {"ascii", "Ironveil", L"Ironveil"},
        {"latin", "K\xC3\xA4se", L"K\u00E4se"},
        {"euro", "\xE2\x82\xAC", L"\u20AC"},
        {"supplementary plane", "\xF0\x9D\x84\x9E", L"\xD834\xDD1E"},
        {"embedded NUL", std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
        {"trailing NUL", std::string("Jpg\0", 4), std::wstring(L"Jpg\0", 4)},
    };
    for (const Pair& p : pairs) {
        EXPECT_EQ(toWide(p.utf8), p.wide) << p.what;
        EXPECT_EQ(toUtf8(p.wide), p.utf8) << p.what;
    }
}

TEST(TextConversion, BrokenInputBecomesReplacementCharacters) {
    // A stray continuation byte, and an unpaired surrogate: neither may vanish silently.
    EXPECT_EQ(toWide("a\x80z"), L"a\uFFFDz");
    EXPECT_EQ(toUtf8(std::wstring(L"a\xD800z")), "a\xEF\xBF\xBDz");
}

}  // namespace
}  // namespace rk::win
