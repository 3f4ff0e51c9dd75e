// The focused window as typed keys reach it: a game's single-line chat box on a US keyboard
// layout, and the keys the system holds down.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "fault_plan.h"
#include "platform/key_sender.h"

namespace rk {

class FakeKeySender : public KeySender, public Faultable {
  public:
    void send(std::span<const KeyEvent> events) override;

    // The box's text now (UTF-8), and the lines Enter sent from it, oldest first.
    std::string box() const;
    std::vector<std::string> sentLines;
    // Keys that reached the window without typing or editing text: "F9", "Ctrl+c", "Alt+Enter".
    std::vector<std::string> otherKeys;
    // Keys down now, the player's own included (a test sets those up).
    std::set<Key> down;
    // Keys the player's hands hold and the keyboard repeats: down again before every event.
    std::set<Key> repeating;
    // The system refuses injected input, as Windows does when a program with higher rights has
    // the focus.
    bool refuse = false;

  private:
    void letGo(Modifiers modifiers);
    void press(Key key);
    bool edit(Key key);
    Modifiers modifierDown(Modifiers which) const;
    void type(char32_t c, Modifiers held);
    void insert(char32_t c);
    std::string withModifiers(std::string name) const;

    std::u32string box_;
    std::size_t caret_ = 0;
};

}  // namespace rk
