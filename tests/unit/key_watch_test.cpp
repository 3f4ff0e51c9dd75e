#include "input/key_watch.h"

#include <gtest/gtest.h>

namespace rk {
namespace {

KeyState down(std::initializer_list<std::uint8_t> codes) {
    KeyState s{};
    for (auto c : codes) s[c] = 0x80;
    return s;
}

using A = KeyAction;

TEST(KeyWatch, HeldKeyActsOnceUntilReleased) {
    KeyWatch watch;
    EXPECT_EQ(watch.pressed(down({dik::kSysRq})), std::vector<A>{A::Screenshot});
    for (int tick = 0; tick < 6; ++tick) EXPECT_TRUE(watch.pressed(down({dik::kSysRq})).empty());
    EXPECT_TRUE(watch.pressed(down({})).empty());
    EXPECT_EQ(watch.pressed(down({dik::kSysRq})), std::vector<A>{A::Screenshot});
}

TEST(KeyWatch, KeysPressedInOneTickActInTableOrder) {
    KeyWatch watch;
    auto actions = watch.pressed(
        down({dik::kScroll, dik::kF12, dik::kPause, dik::kF10, dik::kSysRq, dik::kF9, dik::kF11}));
    EXPECT_EQ(actions, (std::vector<A>{A::Screenshot, A::Keybind1, A::Keybind2, A::Keybind3,
                                       A::Keybind4, A::FreezeEscape, A::GameToFront}));
}

TEST(KeyWatch, SecondKeyPressedWhileFirstHeldActsAlone) {
    KeyWatch watch;
    watch.pressed(down({dik::kF9}));
    EXPECT_EQ(watch.pressed(down({dik::kF9, dik::kF12})), std::vector<A>{A::Keybind4});
}

TEST(KeyWatch, KeysOutsideTheTableDoNothing) {
    KeyWatch watch;
    KeyState all{};
    all.fill(0x80);
    for (const auto& key : kWatchedKeys) all[key.code] = 0;
    EXPECT_TRUE(watch.pressed(all).empty());
}

TEST(KeyWatch, AnyNonZeroByteCountsAsDown) {
    KeyWatch watch;
    KeyState s{};
    s[dik::kPause] = 0x01;
    EXPECT_EQ(watch.pressed(s), std::vector<A>{A::FreezeEscape});
}

TEST(KeyWatch, KeyTheProgramTypedActsAgainOnlyAfterASnapshotShowsItUp) {
    KeyWatch watch;
    EXPECT_EQ(watch.pressed(down({dik::kF9})), std::vector<A>{A::Keybind1});
    watch.ignoreUntilReleased(dik::kF9);
    watch.ignoreUntilReleased(dik::kSysRq);
    // The typed keys still show down, even as new presses: nothing acts.
    EXPECT_TRUE(watch.pressed(down({dik::kF9, dik::kSysRq})).empty());
    EXPECT_TRUE(watch.pressed(down({})).empty());
    EXPECT_EQ(watch.pressed(down({dik::kSysRq})), std::vector<A>{A::Screenshot});
}

TEST(KeyWatch, TypedKeyThatShowsDownLateDoesNotAct) {
    KeyWatch watch;
    watch.pressed(down({}));
    watch.ignoreUntilReleased(dik::kPause);
    EXPECT_TRUE(watch.pressed(down({dik::kPause})).empty());
    EXPECT_TRUE(watch.pressed(down({})).empty());
    EXPECT_EQ(watch.pressed(down({dik::kPause})), std::vector<A>{A::FreezeEscape});
}

TEST(KeyWatch, IgnoringOneKeyLeavesTheOthersActing) {
    KeyWatch watch;
    watch.ignoreUntilReleased(dik::kF9);
    EXPECT_EQ(watch.pressed(down({dik::kF9, dik::kF10, dik::kScroll})),
              (std::vector<A>{A::Keybind2, A::GameToFront}));
}

}  // namespace
}  // namespace rk
