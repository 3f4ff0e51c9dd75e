// What every WindowSystem must do. Instantiated with a harness type:
//
//   struct Harness {
//       WindowSystem& windows();
//       // A top-level window of a program other than the one under test; titles are unique
//       // to this test when built with unique().
//       WindowId make(const std::string& title, bool visible);
//       std::string unique(std::string_view base);
//       ProcessId ownerOfMade() const;
//       bool exists(WindowId window);
//       bool visible(WindowId window);
//       WindowId foreground();
//       void rename(WindowId window, const std::string& title);
//       void destroy(WindowId window);
//       void pump();  // lets posted messages and window events be handled
//       // Whether the system announces this kind of change at all: the count can only follow
//       // what is announced (Wine 8 announces new windows only).
//       bool announces(WindowChange change);
//   };
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "contract_support.h"
#include "platform/window_system.h"

namespace rk::contract {

enum class WindowChange { Retitled, ShownOrHidden, Destroyed };

template <class Harness>
class WindowSystemContract : public ::testing::Test {
  protected:
    WindowSystem& ws() { return h.windows(); }
    bool eventually(const std::function<bool()>& condition) {
        return waitFor(condition, [this] { h.pump(); });
    }
    // Events are delivered asynchronously: wait for the count to move off `before`.
    bool countMovesFrom(std::uint64_t before) {
        return eventually([&] { return ws().changeCount() != before; });
    }

    static std::string upper(std::string s) {
        std::transform(s.begin(), s.end(), s.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        return s;
    }
    static std::string lower(std::string s) {
        std::transform(s.begin(), s.end(), s.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return s;
    }

    Harness h;
};

TYPED_TEST_SUITE_P(WindowSystemContract);

TYPED_TEST_P(WindowSystemContract, FindsTheWholeTitleIgnoringCase) {
    const std::string title = this->h.unique("Ironveil Contract");
    const WindowId w = this->h.make(title, true);
    ASSERT_NE(w, 0u);
    EXPECT_EQ(this->ws().findByTitle(title), w);
    EXPECT_EQ(this->ws().findByTitle(this->upper(title)), w);
    EXPECT_EQ(this->ws().findByTitle(this->lower(title)), w);
}

TYPED_TEST_P(WindowSystemContract, PartsOfATitleDoNotMatch) {
    const std::string title = this->h.unique("Raidkit Contract Main");
    ASSERT_NE(this->h.make(title, true), 0u);
    EXPECT_EQ(this->ws().findByTitle(title.substr(0, title.size() - 1)), 0u);
    EXPECT_EQ(this->ws().findByTitle(title.substr(1)), 0u);
    EXPECT_EQ(this->ws().findByTitle(title + " "), 0u);
    EXPECT_EQ(this->ws().findByTitle(this->h.unique("No Such Window")), 0u);
}

TYPED_TEST_P(WindowSystemContract, FindsHiddenWindows) {
    const std::string title = this->h.unique("Hidden Contract");
    const WindowId w = this->h.make(title, false);
    ASSERT_NE(w, 0u);
    EXPECT_FALSE(this->h.visible(w));
    EXPECT_EQ(this->ws().findByTitle(title), w);
}

TYPED_TEST_P(WindowSystemContract, TitlesComeBackAsUtf8) {
    const std::string titles[] = {
        this->h.unique("Ironveil"),
        this->h.unique("Gr\xC3\xBC\xC3\x9F"
                       "e \xE2\x9C\x93 \xF0\x9D\x84\x9E"),  // Grüße ✓ 𝄞
    };
    for (const std::string& title : titles) {
        const WindowId w = this->h.make(title, false);
        ASSERT_NE(w, 0u);
        EXPECT_EQ(this->ws().titleOf(w), title);
        EXPECT_EQ(this->ws().findByTitle(title), w);
    }
    const WindowId untitled = this->h.make("", false);
    EXPECT_EQ(this->ws().titleOf(untitled), "");
}

TYPED_TEST_P(WindowSystemContract, LongTitlesComeBackWhole) {
    for (std::size_t length : {254u, 255u, 256u, 300u, 1000u}) {
        std::string title = this->h.unique("Long");
        title += std::string(length - title.size(), 'x');
        const WindowId w = this->h.make(title, false);
        ASSERT_NE(w, 0u);
        EXPECT_EQ(this->ws().titleOf(w), title) << length;
    }
}

TYPED_TEST_P(WindowSystemContract, TopLevelListHoldsShownAndHiddenWindows) {
    const WindowId shown = this->h.make(this->h.unique("Listed Shown"), true);
    const WindowId hidden = this->h.make(this->h.unique("Listed Hidden"), false);
    const auto all = this->ws().topLevelWindows();
    EXPECT_NE(std::find(all.begin(), all.end(), shown), all.end());
    EXPECT_NE(std::find(all.begin(), all.end(), hidden), all.end());
}

TYPED_TEST_P(WindowSystemContract, OwnerProcessIsTheMaker) {
    const WindowId w = this->h.make(this->h.unique("Owned"), false);
    EXPECT_EQ(this->ws().ownerProcess(w), this->h.ownerOfMade());
    EXPECT_EQ(this->ws().ownerProcess(0), 0u);
}

TYPED_TEST_P(WindowSystemContract, PostCloseClosesTheWindow) {
    const std::string title = this->h.unique("Messenger Service Contract");
    const WindowId w = this->h.make(title, true);
    ASSERT_NE(w, 0u);
    this->ws().postClose(w);
    ASSERT_TRUE(this->eventually([&] { return !this->h.exists(w); }));
    EXPECT_EQ(this->ws().findByTitle(title), 0u);
    EXPECT_EQ(this->ws().ownerProcess(w), 0u);
    EXPECT_EQ(this->ws().titleOf(w), "");
}

TYPED_TEST_P(WindowSystemContract, ShowHidesAndShows) {
    const WindowId w = this->h.make(this->h.unique("Shown Later"), false);
    this->ws().show(w, ShowCommand::Normal);
    EXPECT_TRUE(this->eventually([&] { return this->h.visible(w); }));
    this->ws().show(w, ShowCommand::Hide);
    EXPECT_TRUE(this->eventually([&] { return !this->h.visible(w); }));
}

// Another program's window is in front each time: the claim is what lets the call through.
TYPED_TEST_P(WindowSystemContract, ClaimedForegroundBringsTheWindowToTheFront) {
    const WindowId first = this->h.make(this->h.unique("Front One"), true);
    const WindowId second = this->h.make(this->h.unique("Front Two"), true);
    this->ws().claimForeground();
    this->ws().bringToFront(first);
    EXPECT_TRUE(this->eventually([&] { return this->h.foreground() == first; }));
    this->ws().claimForeground();
    this->ws().bringToFront(second);
    EXPECT_TRUE(this->eventually([&] { return this->h.foreground() == second; }));
}

TYPED_TEST_P(WindowSystemContract, MinimizedUntilRestored) {
    const WindowId w = this->h.make(this->h.unique("Minimized Game"), true);
    EXPECT_FALSE(this->ws().minimized(w));
    this->ws().show(w, ShowCommand::Minimized);
    EXPECT_TRUE(this->eventually([&] { return this->ws().minimized(w); }));
    this->ws().show(w, ShowCommand::Restore);
    EXPECT_TRUE(this->eventually([&] { return !this->ws().minimized(w); }));
    EXPECT_FALSE(this->ws().minimized(0));
}

TYPED_TEST_P(WindowSystemContract, ChangeCountMovesWhenAWindowIsCreated) {
    const std::uint64_t before = this->ws().changeCount();
    ASSERT_NE(this->h.make(this->h.unique("Counted New"), false), 0u);
    EXPECT_TRUE(this->countMovesFrom(before));
}

TYPED_TEST_P(WindowSystemContract, ChangeCountMovesWhenAWindowIsRetitled) {
    if (!this->h.announces(WindowChange::Retitled))
        GTEST_SKIP() << "this system does not announce retitled windows";
    const std::string title = this->h.unique("Counted Title");
    const WindowId w = this->h.make(title, true);
    ASSERT_TRUE(this->eventually([&] { return this->ws().titleOf(w) == title; }));
    const std::uint64_t before = this->ws().changeCount();
    this->h.rename(w, this->h.unique("Messenger Service Counted"));
    EXPECT_TRUE(this->countMovesFrom(before));
}

TYPED_TEST_P(WindowSystemContract, ChangeCountMovesWhenAWindowIsShownOrHidden) {
    if (!this->h.announces(WindowChange::ShownOrHidden))
        GTEST_SKIP() << "this system does not announce shown or hidden windows";
    const WindowId w = this->h.make(this->h.unique("Counted Visibility"), true);
    const std::uint64_t beforeHide = this->ws().changeCount();
    this->ws().show(w, ShowCommand::Hide);
    EXPECT_TRUE(this->countMovesFrom(beforeHide));
    ASSERT_TRUE(this->eventually([&] { return !this->h.visible(w); }));
    const std::uint64_t beforeShow = this->ws().changeCount();
    this->ws().show(w, ShowCommand::Normal);
    EXPECT_TRUE(this->countMovesFrom(beforeShow));
}

TYPED_TEST_P(WindowSystemContract, ChangeCountMovesWhenAWindowIsDestroyed) {
    if (!this->h.announces(WindowChange::Destroyed))
        GTEST_SKIP() << "this system does not announce destroyed windows";
    const WindowId w = this->h.make(this->h.unique("Counted Gone"), true);
    const std::uint64_t before = this->ws().changeCount();
    this->h.destroy(w);
    EXPECT_TRUE(this->countMovesFrom(before));
    EXPECT_FALSE(this->h.exists(w));
}

// On a desktop where nothing else runs, as under the test's own Wine session.
TYPED_TEST_P(WindowSystemContract, ChangeCountStaysWhileNothingHappens) {
    const WindowId w = this->h.make(this->h.unique("Counted Still"), true);
    this->ws().titleOf(w);
    // Let the events of the set-up arrive first.
    for (int i = 0; i < 10; ++i) this->h.pump();
    const std::uint64_t before = this->ws().changeCount();
    for (int i = 0; i < 10; ++i) {
        this->h.pump();
        this->ws().topLevelWindows();
        this->ws().findByTitle("Ironveil");
    }
    EXPECT_EQ(this->ws().changeCount(), before);
}

REGISTER_TYPED_TEST_SUITE_P(WindowSystemContract, FindsTheWholeTitleIgnoringCase,
                            PartsOfATitleDoNotMatch, FindsHiddenWindows, TitlesComeBackAsUtf8,
                            LongTitlesComeBackWhole, TopLevelListHoldsShownAndHiddenWindows,
                            OwnerProcessIsTheMaker, PostCloseClosesTheWindow, ShowHidesAndShows,
                            ClaimedForegroundBringsTheWindowToTheFront, MinimizedUntilRestored,
                            ChangeCountMovesWhenAWindowIsCreated,
                            ChangeCountMovesWhenAWindowIsRetitled,
                            ChangeCountMovesWhenAWindowIsShownOrHidden,
                            ChangeCountMovesWhenAWindowIsDestroyed,
                            ChangeCountStaysWhileNothingHappens);

}  // namespace rk::contract
