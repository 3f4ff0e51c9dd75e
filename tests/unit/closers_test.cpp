#include "popups/closers.h"

#include <gtest/gtest.h>

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
        CheckMSN(windows, check1Ticked, text1);
        CloseThatDirtyFuckingSpam(windows);
    }

    FakeWindowSystem windows;
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

    CheckMSN(windows, true, kSignIn);

    for (std::size_t i = 0; i < ids.size(); ++i)
        EXPECT_EQ(!isOpen(ids[i]), cases[i].closed) << cases[i].title;
}

TEST_F(Closers, SignInCloserUsesTheTextOfEachCall) {
    startGame();
    WindowId custom = open("Carol is now online");
    WindowId standard = open("Bob has just signed in.");

    CheckMSN(windows, true, "is now online");
    EXPECT_FALSE(isOpen(custom));
    EXPECT_TRUE(isOpen(standard));

    CheckMSN(windows, true, kSignIn);
    EXPECT_FALSE(isOpen(standard));
}

TEST_F(Closers, EmptySignInTextClosesNothing) {
    WindowId game = startGame();
    WindowId other = open("Notepad");

    CheckMSN(windows, true, "");

    EXPECT_TRUE(isOpen(game));
    EXPECT_EQ(windows.window(other).closeRequests, 0);
}

TEST_F(Closers, ProgramsOwnWindowsAreNotExempt) {
    startGame();
    WindowId own = windows.createWindow("Raidkit v2.2 By Velmor", true, 100);

    CheckMSN(windows, true, "By Velmor");

    EXPECT_FALSE(isOpen(own));
}

TEST_F(Closers, NothingClosesAndTheFrontStaysWithoutTheGame) {
    WindowId notice = open("Bob has just signed in.");
    WindowId popup = open("Messenger Service");
    WindowId desk = open("Desktop");
    windows.bringToFront(desk);

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
    windows.bringToFront(chat);
    std::vector<WindowId> frontAtRequest;
    windows.onCloseRequest = [&](WindowId) {
        frontAtRequest.push_back(windows.foreground());
        windows.bringToFront(chat);  // something else takes the front meanwhile
    };

    CloseThatDirtyFuckingSpam(windows);

    EXPECT_FALSE(isOpen(first));
    EXPECT_FALSE(isOpen(second));
    EXPECT_EQ(frontAtRequest, (std::vector<WindowId>{game, game}));
}

TEST_F(Closers, ServiceTitleInOtherCapitalsStaysAndTheFrontIsNotMoved) {
    startGame();
    WindowId lower = open("messenger service");
    WindowId upper = open("MESSENGER SERVICE");
    WindowId chat = open("Chat");
    windows.bringToFront(chat);

    CloseThatDirtyFuckingSpam(windows);

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

}  // namespace
}  // namespace rk
