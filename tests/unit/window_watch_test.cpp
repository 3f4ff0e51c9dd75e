#include "popups/window_watch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <utility>

#include "fake_window_system.h"

namespace rk {
namespace {

// The fake desktop, with a tally of the two expensive questions and, optionally, a count that
// reports nothing or something on every call.
class TalliedWindows : public FakeWindowSystem {
  public:
    enum class Count { Reported, Lost, Unwatched };

    WindowId findByTitle(std::string_view title) override {
        ++lookUps;
        return FakeWindowSystem::findByTitle(title);
    }
    std::vector<WindowId> topLevelWindows() override {
        ++scans;
        std::vector<WindowId> all = FakeWindowSystem::topLevelWindows();
        if (duringScan)
            std::exchange(duringScan, nullptr)();
        return all;
    }
    std::uint64_t changeCount() override {
        switch (count) {
            case Count::Lost:
                return 1;
            case Count::Unwatched:
                return ++unwatched_;
            case Count::Reported:
                break;
        }
        return FakeWindowSystem::changeCount();
    }

    int lookUps = 0;
    int scans = 0;
    Count count = Count::Reported;
    // Runs once, within the next scan, after the windows have been listed.
    std::function<void()> duringScan;

  private:
    std::uint64_t unwatched_ = 0;
};

bool lists(const WindowList& list, WindowId window, std::string_view title) {
    return std::any_of(list.titled.begin(), list.titled.end(), [&](const ListedWindow& listed) {
        return listed.window == window && listed.title == title;
    });
}

class WindowWatchTest : public ::testing::Test {
  protected:
    TalliedWindows windows;
    WatchClock::time_point now{};
    WindowWatch watch{windows, [this] { return now; }, std::chrono::seconds(5)};
};

TEST_F(WindowWatchTest, AnswersLikeTheSystemAndAsksItOnceWhileNothingChanges) {
    WindowId other = windows.createWindow("Notepad");
    WindowId game = windows.createWindow("IRONVEIL");

    for (int i = 0; i < 20; ++i) {
        now += std::chrono::milliseconds(15);
        EXPECT_EQ(watch.game(), game);
        const WindowList& list = watch.scan();
        EXPECT_EQ(list.windowCount, 2u);
        EXPECT_TRUE(lists(list, other, "Notepad"));
    }

    EXPECT_EQ(windows.lookUps, 1);
    EXPECT_EQ(windows.scans, 1);
}

TEST_F(WindowWatchTest, GenerationStaysWhileNothingChanges) {
    windows.createWindow("Ironveil");
    const std::uint64_t first = watch.generation();
    watch.game();
    watch.scan();
    now += std::chrono::seconds(4);

    EXPECT_EQ(watch.generation(), first);
}

TEST_F(WindowWatchTest, LooksAgainAfterEachKindOfWindowChange) {
    WindowId game = windows.createWindow("Ironveil");
    WindowId chat = windows.createWindow("Chat");
    struct Change {
        const char* what;
        std::function<void()> make;
        std::function<void(const WindowList&)> check;
    };
    WindowId popup = 0;
    const Change changes[] = {
        {"created", [&] { popup = windows.createWindow("Messenger Service"); },
         [&](const WindowList& list) { EXPECT_TRUE(lists(list, popup, "Messenger Service")); }},
        {"retitled", [&] { windows.setTitle(chat, "Bob has just signed in."); },
         [&](const WindowList& list) {
             EXPECT_TRUE(lists(list, chat, "Bob has just signed in."));
         }},
        {"hidden", [&] { windows.show(chat, ShowCommand::Hide); },
         [&](const WindowList& list) { EXPECT_EQ(list.windowCount, 3u); }},
        {"destroyed", [&] { windows.destroyWindow(popup); },
         [&](const WindowList& list) { EXPECT_FALSE(lists(list, popup, "Messenger Service")); }},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.what);
        const std::uint64_t before = watch.generation();
        watch.scan();
        const int scans = windows.scans;

        change.make();

        EXPECT_NE(watch.generation(), before);
        change.check(watch.scan());
        EXPECT_EQ(windows.scans, scans + 1);
    }
    EXPECT_EQ(watch.game(), game);
}

TEST_F(WindowWatchTest, GameLookedUpAfreshOnceItStartsOrEnds) {
    EXPECT_EQ(watch.game(), 0u);
    WindowId game = windows.createWindow("Ironveil");
    EXPECT_EQ(watch.game(), game);
    windows.destroyWindow(game);
    EXPECT_EQ(watch.game(), 0u);
}

TEST_F(WindowWatchTest, AskingAWindowToCloseMakesTheNextLookFresh) {
    WindowId popup = windows.createWindow("Messenger Service");
    windows.closeOnRequest = false;  // posted only: nothing has changed yet
    const std::uint64_t before = watch.generation();
    watch.scan();

    watch.postClose(popup);

    EXPECT_EQ(windows.window(popup).closeRequests, 1);
    EXPECT_NE(watch.generation(), before);
    EXPECT_TRUE(lists(watch.scan(), popup, "Messenger Service"));
    EXPECT_EQ(windows.scans, 2);
}

TEST_F(WindowWatchTest, WindowAppearingDuringAScanIsListedByTheNextLook) {
    WindowId late = 0;
    windows.duringScan = [&] { late = windows.createWindow("Messenger Service"); };
    EXPECT_FALSE(lists(watch.scan(), late, "Messenger Service"));

    EXPECT_TRUE(lists(watch.scan(), late, "Messenger Service"));
}

TEST_F(WindowWatchTest, LostChangesAreFoundWhenTheRefreshPeriodRunsOut) {
    windows.count = TalliedWindows::Count::Lost;
    watch.scan();
    WindowId popup = windows.createWindow("Messenger Service");
    WindowId game = windows.createWindow("Ironveil");

    now += std::chrono::milliseconds(4990);
    EXPECT_FALSE(lists(watch.scan(), popup, "Messenger Service"));
    now += std::chrono::milliseconds(10);
    EXPECT_TRUE(lists(watch.scan(), popup, "Messenger Service"));
    EXPECT_EQ(watch.game(), game);
}

TEST_F(WindowWatchTest, SystemThatCannotWatchIsAskedAtEveryLook) {
    windows.count = TalliedWindows::Count::Unwatched;
    windows.createWindow("Ironveil");

    for (int i = 0; i < 3; ++i) {
        watch.game();
        watch.scan();
    }

    EXPECT_EQ(windows.lookUps, 3);
    EXPECT_EQ(windows.scans, 3);
}

}  // namespace
}  // namespace rk
