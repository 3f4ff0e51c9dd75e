#include "input/keybinds.h"

#include <gtest/gtest.h>

namespace rk {
namespace {

struct VarsCase {
    std::string text;
    KeybindCounters before;
    std::string expected;
    KeybindCounters after;
};

bool sameCounts(const KeybindCounters& a, const KeybindCounters& b) {
    return a.CountA == b.CountA && a.CountB == b.CountB && a.CountC == b.CountC &&
           a.CountD == b.CountD;
}

TEST(ParseVars, ReplacesEachVariableByItsSteppedCounter) {
    const VarsCase cases[] = {
        {"That was headshot number $a", {}, "That was headshot number 1", {1, 0, 0, 0}},
        {"That was headshot number $a", {1, 0, 0, 0}, "That was headshot number 2", {2, 0, 0, 0}},
        // One step per line, however often the variable occurs.
        {"$a and $a again", {4, 0, 0, 0}, "5 and 5 again", {5, 0, 0, 0}},
        {"$a$a$a", {9, 0, 0, 0}, "101010", {10, 0, 0, 0}},
        {"$d$c$b$a", {10, 20, 30, 40}, "41312111", {11, 21, 31, 41}},
        {"only $c here", {7, 7, 7, 7}, "only 8 here", {7, 7, 8, 7}},
        // Found anywhere, also inside a word.
        {"x$aby", {}, "x1by", {1, 0, 0, 0}},
        {"$$b", {}, "$1", {0, 1, 0, 0}},
        // Case-sensitive and exactly four letters: these are no variables.
        {"$A $B $e $ a a$ $", {3, 3, 3, 3}, "$A $B $e $ a a$ $", {3, 3, 3, 3}},
        {"", {5, 6, 7, 8}, "", {5, 6, 7, 8}},
        {"no variables at all", {}, "no variables at all", {}},
        {"$a", {99, 0, 0, 0}, "100", {100, 0, 0, 0}},
        {"$a", {4294967295u, 0, 0, 0}, "4294967296", {4294967296u, 0, 0, 0}},
    };
    for (const VarsCase& c : cases) {
        KeybindCounters counters = c.before;
        std::string text = c.text;
        counters.Parse_Vars(text);
        EXPECT_EQ(text, c.expected) << c.text;
        EXPECT_TRUE(sameCounts(counters, c.after)) << c.text;
    }
}

TEST(ParseVars, ChangesTheCallersTextAndReturnsIt) {
    KeybindCounters counters;
    std::string text = "gg $b";
    std::string& result = counters.Parse_Vars(text);
    EXPECT_EQ(&result, &text);
    EXPECT_EQ(text, "gg 1");
}

TEST(ParseVars, FourKeybindsShareTheCounters) {
    KeybindCounters counters;
    auto type = [&](std::string line) { return counters.Parse_Vars(line); };
    const std::string f9 = "$a";
    const std::string f10 = "$a $b";
    EXPECT_EQ(type(f9), "1");
    EXPECT_EQ(type(f10), "2 1");
    EXPECT_EQ(type(f9), "3");
    EXPECT_EQ(type("$b"), "2");
}

TEST(ParseVars, FreshCountersStartAgainAtOne) {
    KeybindCounters first;
    std::string line = "$a";
    first.Parse_Vars(line);
    line = "$a";
    first.Parse_Vars(line);
    ASSERT_EQ(line, "2");

    KeybindCounters afterRestart;
    line = "$a";
    EXPECT_EQ(afterRestart.Parse_Vars(line), "1");
}

}  // namespace
}  // namespace rk
