#include "popups/closers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "fake_window_system.h"

namespace rk {
namespace {

constexpr std::string_view kSignIn = "has just signed in.";

class Closers : public ::testing::Test {
  protected:
    WindowId startGame() { return windows.createWindow("Ironveil", true, 500); }
    WindowId open(std::string title) { return windows.createWindow(std::move(title)); }
    bool isOpen(WindowId window) const { return windows.exists(window); }
    // One poll tick's pop-up work, in the tick's order.
    void tick(bool check1Ticked, std::string_view text1) {
        closers.CheckMSN(check1Ticked, text1);
        closers.CloseThatDirtyFuckingSpam();
    }

    FakeWindowSystem windows;
    PopupClosers closers{windows};
};

TEST_F(Closers, SignInNoticesCloseOnlyWhileTickedServicePopupsAlways) {
    startGame();
    WindowId notice = open("Bob has just signed in.");
    WindowId popup = open("Messenger Service");

    tick(false, kSignIn);
    EXPECT_TRUE(isOpen(notice));
    EXPECT_FALSE(isOpen(popup));

    tick(true, kSignIn);
    EXPECT_FALSE(isOpen(notice));
}

TEST_F(Closers, SignInTextMatchesCaseSensitivelyAnywhereInTheTitle) {
    struct Case {
        std::string title;
        bool closed;
    };
    const Case cases[] = {
        {"Bob has just signed in.", true},
        {"has just signed in.", true},
        {"Alice has just signed in. - MSN Messenger", true},
        {"Bob Has Just Signed In.", false},
        {"Bob has just signed in", false},
        {"Bob has just signed out.", false},
    };
    startGame();
    std::vector<WindowId> ids;
    for (const Case& c : cases) ids.push_back(open(c.title));

    closers.CheckMSN(true, kSignIn);

    for (std::size_t i = 0; i < ids.size(); ++i)
        EXPECT_EQ(!isOpen(ids[i]), cases[i].closed) << cases[i].title;
}

TEST_F(Closers, SignInCloserUsesTheTextOfEachCall) {
    startGame();
    WindowId custom = open("Carol is now online");
    WindowId standard = open("Bob has just signed in.");

    closers.CheckMSN(true, "is now online");
    EXPECT_FALSE(isOpen(custom));
    EXPECT_TRUE(isOpen(standard));

    closers.CheckMSN(true, kSignIn);
    EXPECT_FALSE(isOpen(standard));
}

TEST_F(Closers, EmptySignInTextClosesNothing) {
    WindowId game = startGame();
    WindowId other = open("Notepad");

    closers.CheckMSN(true, "");

    EXPECT_TRUE(isOpen(game));
    EXPECT_EQ(windows.window(other).closeRequests, 0);
}

TEST_F(Closers, ProgramsOwnWindowsAreNotExempt) {
    startGame();
    WindowId own = windows.createWindow("Raidkit v2.2 By Velmor", true, 100);

    closers.CheckMSN(true, "By Velmor");

    EXPECT_FALSE(isOpen(own));
}

TEST_F(Closers, NothingClosesAndTheFrontStaysWithoutTheGame) {
    WindowId notice = open("Bob has just signed in.");
    WindowId popup = open("Messenger Service");
    WindowId desk = open("Desktop");
    windows.activate(desk);

    tick(true, kSignIn);
    windows.destroyWindow(startGame());  // the game came and went
    tick(true, kSignIn);

    EXPECT_TRUE(isOpen(notice));
    EXPECT_TRUE(isOpen(popup));
    EXPECT_EQ(windows.foreground(), desk);
}

TEST_F(Closers, EveryServicePopupClosesWithTheGameBroughtInFrontFirst) {
    WindowId game = startGame();
    WindowId first = open("Messenger Service: message from SERVER1");
    WindowId second = open("Messenger Service");
    WindowId chat = open("Chat");
    windows.activate(chat);
    std::vector<WindowId> frontAtRequest;
    windows.onCloseRequest = [&](WindowId) {
        frontAtRequest.push_back(windows.foreground());
        windows.activate(chat);  // something else takes the front meanwhile
    };

    closers.CloseThatDirtyFuckingSpam();

    EXPECT_FALSE(isOpen(first));
    EXPECT_FALSE(isOpen(second));
    EXPECT_EQ(frontAtRequest, (std::vector<WindowId>{game, game}));
}

TEST_F(Closers, ServiceTitleInOtherCapitalsStaysAndTheFrontIsNotMoved) {
    startGame();
    WindowId lower = open("messenger service");
    WindowId upper = open("MESSENGER SERVICE");
    WindowId chat = open("Chat");
    windows.activate(chat);

    closers.CloseThatDirtyFuckingSpam();

    EXPECT_TRUE(isOpen(lower));
    EXPECT_TRUE(isOpen(upper));
    EXPECT_EQ(windows.foreground(), chat);
}

TEST_F(Closers, PopupsBehindMoreThanTwoHundredWindowsClose) {
    WindowId notice = open("Bob has just signed in.");
    WindowId popup = open("Messenger Service");
    for (int i = 0; i < 250; ++i) open("Window " + std::to_string(i));
    startGame();

    tick(true, kSignIn);

    EXPECT_FALSE(isOpen(notice));
    EXPECT_FALSE(isOpen(popup));
}

TEST_F(Closers, ServicePopupThatStaysOpenIsAskedAgainAtEveryTickWithTheGameInFront) {
    WindowId game = startGame();
    WindowId popup = open("Messenger Service");
    WindowId chat = open("Chat");
    windows.closeOnRequest = false;  // the request is only posted; the pop-up stays for now
    std::vector<WindowId> frontAtRequest;
    windows.onCloseRequest = [&](WindowId) {
        frontAtRequest.push_back(windows.foreground());
        windows.activate(chat);
    };

    for (int i = 0; i < 3; ++i) tick(false, kSignIn);

    EXPECT_EQ(windows.window(popup).closeRequests, 3);
    EXPECT_EQ(frontAtRequest, (std::vector<WindowId>{game, game, game}));
}

TEST_F(Closers, SignInNoticeThatStaysOpenIsAskedAgainAtEveryTick) {
    startGame();
    WindowId notice = open("Bob has just signed in.");
    windows.closeOnRequest = false;

    for (int i = 0; i < 3; ++i) tick(true, kSignIn);

    EXPECT_EQ(windows.window(notice).closeRequests, 3);
}

TEST_F(Closers, PopupsOpenedWhileIdleCloseAtTheNextTick) {
    startGame();
    for (int i = 0; i < 3; ++i) tick(true, kSignIn);

    WindowId popup = open("Messenger Service");
    WindowId notice = open("Bob has just signed in.");
    tick(true, kSignIn);

    EXPECT_FALSE(isOpen(popup));
    EXPECT_FALSE(isOpen(notice));
}

TEST_F(Closers, WindowRetitledAsAPopupClosesAtTheNextTick) {
    startGame();
    WindowId later = open("Connecting...");
    WindowId other = open("Waiting...");
    tick(true, kSignIn);
    ASSERT_TRUE(isOpen(later));

    windows.setTitle(later, "Messenger Service");
    windows.setTitle(other, "Bob has just signed in.");
    tick(true, kSignIn);

    EXPECT_FALSE(isOpen(later));
    EXPECT_FALSE(isOpen(other));
}

TEST_F(Closers, OpenPopupsCloseAtTheFirstTickOfTheGame) {
    WindowId popup = open("Messenger Service");
    WindowId notice = open("Bob has just signed in.");
    tick(true, kSignIn);
    ASSERT_TRUE(isOpen(popup));

    startGame();
    tick(true, kSignIn);

    EXPECT_FALSE(isOpen(popup));
    EXPECT_FALSE(isOpen(notice));
}

TEST_F(Closers, AskingStopsOnceTheGameHasGone) {
    WindowId game = startGame();
    WindowId popup = open("Messenger Service");
    WindowId notice = open("Bob has just signed in.");
    WindowId chat = open("Chat");
    windows.closeOnRequest = false;
    tick(true, kSignIn);
    ASSERT_EQ(windows.window(popup).closeRequests, 1);

    windows.destroyWindow(game);
    windows.activate(chat);
    for (int i = 0; i < 3; ++i) tick(true, kSignIn);

    EXPECT_EQ(windows.window(popup).closeRequests, 1);
    EXPECT_EQ(windows.window(notice).closeRequests, 1);
    EXPECT_EQ(windows.foreground(), chat);
}

TEST_F(Closers, NewSignInTextAppliesAtTheNextTickWithoutAnyWindowChange) {
    startGame();
    WindowId custom = open("Carol is now online");
    tick(true, kSignIn);
    tick(true, kSignIn);
    ASSERT_TRUE(isOpen(custom));

    tick(true, "is now online");

    EXPECT_FALSE(isOpen(custom));
}

TEST_F(Closers, TickingTheBoxAppliesAtTheNextTickWithoutAnyWindowChange) {
    startGame();
    WindowId notice = open("Bob has just signed in.");
    tick(false, kSignIn);
    tick(false, kSignIn);
    ASSERT_TRUE(isOpen(notice));

    tick(true, kSignIn);

    EXPECT_FALSE(isOpen(notice));
}

// A system that stopped reporting changes: its count never moves.
class DeafWindowSystem : public FakeWindowSystem {
  public:
    std::uint64_t changeCount() override { return 7; }
};

// Like Wine 8: only new windows are reported, not retitled or destroyed ones.
class NewWindowsOnlySystem : public FakeWindowSystem {
  public:
    WindowId createWindow(std::string title) {
        ++created_;
        return FakeWindowSystem::createWindow(std::move(title));
    }
    std::uint64_t changeCount() override { return created_; }

  private:
    std::uint64_t created_ = 0;
};

class ClosersOnAPartlyReportingSystem : public ::testing::Test {
  protected:
    void tick(bool check1Ticked, std::string_view text1) {
        closers.CheckMSN(check1Ticked, text1);
        closers.CloseThatDirtyFuckingSpam();
    }

    NewWindowsOnlySystem windows;
    WatchClock::time_point now{};
    PopupClosers closers{windows, [this] { return now; }, std::chrono::seconds(5)};
};

TEST_F(ClosersOnAPartlyReportingSystem, NewTextClosesNothingOnceTheGameHasGoneUnreported) {
    WindowId game = windows.createWindow("Ironveil");
    WindowId custom = windows.createWindow("Carol is now online");
    tick(true, kSignIn);
    tick(true, kSignIn);

    windows.destroyWindow(game);
    tick(true, "is now online");

    EXPECT_TRUE(windows.exists(custom));
    EXPECT_EQ(windows.window(custom).closeRequests, 0);
}

TEST_F(ClosersOnAPartlyReportingSystem, TickingTheBoxClosesNothingOnceTheGameHasGoneUnreported) {
    WindowId game = windows.createWindow("Ironveil");
    WindowId notice = windows.createWindow("Bob has just signed in.");
    tick(false, kSignIn);
    tick(false, kSignIn);

    windows.destroyWindow(game);
    tick(true, kSignIn);

    EXPECT_EQ(windows.window(notice).closeRequests, 0);
}

TEST_F(ClosersOnAPartlyReportingSystem, TickingTheBoxAgainClosesANoticeRetitledMeanwhile) {
    windows.createWindow("Ironveil");
    WindowId chat = windows.createWindow("Bob");
    tick(true, kSignIn);
    tick(false, kSignIn);

    windows.setTitle(chat, "Bob has just signed in.");
    tick(false, kSignIn);
    tick(true, kSignIn);

    EXPECT_FALSE(windows.exists(chat));
}

TEST_F(ClosersOnAPartlyReportingSystem, NewPopupClosesNothingOnceTheGameHasGoneUnreported) {
    WindowId game = windows.createWindow("Ironveil");
    WindowId chat = windows.createWindow("Chat");
    tick(true, kSignIn);

    windows.destroyWindow(game);
    windows.activate(chat);
    WindowId popup = windows.createWindow("Messenger Service");
    WindowId notice = windows.createWindow("Bob has just signed in.");
    tick(true, kSignIn);

    EXPECT_TRUE(windows.exists(popup));
    EXPECT_TRUE(windows.exists(notice));
    EXPECT_EQ(windows.foreground(), chat);
}

TEST_F(ClosersOnAPartlyReportingSystem, RetitledPopupClosesWithinTheRefreshPeriod) {
    windows.createWindow("Ironveil");
    WindowId later = windows.createWindow("Connecting...");
    tick(true, kSignIn);

    windows.setTitle(later, "Messenger Service");
    for (int i = 0; i < 400 && windows.exists(later); ++i) {
        now += std::chrono::milliseconds(15);
        tick(true, kSignIn);
    }

    EXPECT_FALSE(windows.exists(later));
}

// Counts the two questions that cost a pass over every window's title.
class TalliedWindowSystem : public FakeWindowSystem {
  public:
    WindowId findByTitle(std::string_view title) override {
        ++lookUps;
        return FakeWindowSystem::findByTitle(title);
    }
    std::vector<WindowId> topLevelWindows() override {
        ++scans;
        return FakeWindowSystem::topLevelWindows();
    }
    int lookUps = 0;
    int scans = 0;
};

TEST(ClosersAtIdle, TicksAskNothingUntilAWindowChangesAndThenOnlyScan) {
    TalliedWindowSystem windows;
    WatchClock::time_point now{};
    PopupClosers closers(
        windows, [&now] { return now; }, std::chrono::seconds(5));
    windows.createWindow("Ironveil");
    for (int i = 0; i < 30; ++i) windows.createWindow("Crowd window " + std::to_string(i));
    auto tick = [&] {
        now += std::chrono::milliseconds(15);
        closers.CheckMSN(true, kSignIn);
        closers.CloseThatDirtyFuckingSpam();
    };
    tick();
    const int scans = windows.scans;

    for (int i = 0; i < 100; ++i) tick();
    EXPECT_EQ(windows.scans, scans);

    windows.createWindow("Notepad");
    tick();
    EXPECT_EQ(windows.scans, scans + 1);
    EXPECT_EQ(windows.lookUps, 0);
}

TEST(ClosersWithLostEvents, PopupNobodyReportedClosesOnceTheRefreshPeriodHasPassed) {
    DeafWindowSystem windows;
    WatchClock::time_point now{};
    PopupClosers closers(
        windows, [&now] { return now; }, std::chrono::seconds(5));
    windows.createWindow("Ironveil");
    closers.CheckMSN(true, kSignIn);
    closers.CloseThatDirtyFuckingSpam();

    WindowId popup = windows.createWindow("Messenger Service");
    WindowId notice = windows.createWindow("Bob has just signed in.");
    now += std::chrono::seconds(5);
    closers.CheckMSN(true, kSignIn);
    closers.CloseThatDirtyFuckingSpam();

    EXPECT_FALSE(windows.exists(popup));
    EXPECT_FALSE(windows.exists(notice));
}

}  // namespace
}  // namespace rk
