#include "shell/dispatcher.h"

#include <gtest/gtest.h>

#include "fake_system.h"
#include "platform/error.h"

namespace rk {
namespace {

struct DispatcherTest : ::testing::Test {
    FakeDialogs dialogs;
    int ended = 0;
    Dispatcher dispatcher{dialogs, [this] { ++ended; }};
};

TEST_F(DispatcherTest, ErrorInEventIsShownWithNumberAndDescriptionAndProgramGoesOn) {
    bool after = false;
    dispatcher.event([&] {
        throw RaidError(13, "Raidkit", "Type mismatch");
        after = true;
    });
    EXPECT_FALSE(after);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Run-time error '13':\n\nType mismatch");
    EXPECT_EQ(dialogs.shown[0].icon, BoxIcon::Error);
    EXPECT_EQ(ended, 0);
}

TEST_F(DispatcherTest, ErrorDuringStartUpEndsProgramAfterTheBox) {
    dispatcher.startUp([] { throw RaidError(68, "DirectInput", "Device unavailable"); });
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(ended, 1);
    dispatcher.startUp([] {});
    EXPECT_EQ(ended, 1);
}

TEST_F(DispatcherTest, NoTickRunsWhileMessageBoxIsUp) {
    int ticks = 0;
    dialogs.whileShown = [&] {
        for (int i = 0; i < 5; ++i) dispatcher.tick([&] { ++ticks; });
    };
    dispatcher.event([] { throw RaidError(6, "Raidkit", "Overflow"); });
    EXPECT_EQ(ticks, 0);
    dispatcher.tick([&] { ++ticks; });
    EXPECT_EQ(ticks, 1);
}

TEST_F(DispatcherTest, NoTickRunsInsideAnotherTick) {
    int inner = 0;
    dispatcher.tick([&] { dispatcher.tick([&] { ++inner; }); });
    EXPECT_EQ(inner, 0);
    EXPECT_FALSE(dispatcher.inTick());
}

TEST_F(DispatcherTest, ErrorInTickIsShownOnceAndLaterTicksRun) {
    int ticks = 0;
    dispatcher.tick([] { throw RaidError(53, "Raidkit", "File not found"); });
    dispatcher.tick([&] { ++ticks; });
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(dispatcher.modalDepth(), 0);
}

}  // namespace
}  // namespace rk
