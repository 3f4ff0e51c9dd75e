#include "popups/closers.h"

#include <vector>

#include "game/game_window.h"

namespace rk {

namespace {
bool holds(std::string_view title, std::string_view text) {
    return title.find(text) != std::string_view::npos;
}

// Matching windows in scan order. Collected before acting: asking a window to close ends the
// watch's current look.
std::vector<WindowId> holding(const WindowList& list, std::string_view text) {
    std::vector<WindowId> found;
    for (const ListedWindow& listed : list.titled) {
        if (holds(listed.title, text))
            found.push_back(listed.window);
    }
    return found;
}
}  // namespace

void PopupClosers::CheckMSN(bool check1Ticked, std::string_view text1) {
    if (!check1Ticked) {
        signInQuiet_.reset();
        return;
    }
    std::uint64_t generation = watch_.generation();
    const bool sameLook = signInQuiet_ && signInQuiet_->generation == generation;
    if (sameLook && signInQuiet_->text == text1)
        return;
    // A new text, a box just ticked or a request pending: the last look may predate changes
    // that the system does not report (Wine reports only new windows), so look again first.
    if (sameLook || !signInQuiet_) {
        watch_.lookAgain();
        generation = watch_.generation();
    }
    signInQuiet_.reset();
    // The empty text is found in every title: it would close every titled window. The game is
    // looked up only once there is something to close: the answer is the same, and an idle
    // look then costs one pass over the titles instead of two.
    const std::vector<WindowId> notices =
        text1.empty() ? std::vector<WindowId>() : holding(watch_.scan(), text1);
    if (notices.empty() || watch_.game() == 0) {
        signInQuiet_ = QuietPass{generation, std::string(text1)};
        return;
    }
    for (WindowId notice : notices) watch_.postClose(notice);
}

void PopupClosers::CloseThatDirtyFuckingSpam() {
    const std::uint64_t generation = watch_.generation();
    if (serviceQuiet_ == generation)
        return;
    serviceQuiet_.reset();
    const std::vector<WindowId> popups = holding(watch_.scan(), kServiceTitle);
    const WindowId game = popups.empty() ? 0 : watch_.game();
    if (game == 0) {
        serviceQuiet_ = generation;
        return;
    }
    for (WindowId popup : popups) {
        // Each pop-up may have taken the front from the game: give it back every time.
        bringWindowForward(windows_, game);
        watch_.postClose(popup);
    }
}

}  // namespace rk
