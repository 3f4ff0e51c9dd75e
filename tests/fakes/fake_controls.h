// The main window's controls in memory, made from the design table, raising events as the
// real ones do when their text or value changes.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "fault_plan.h"
#include "platform/controls.h"
#include "platform/tray.h"
#include "shell/layout.h"

namespace rk {

class FakeControls : public Controls {
  public:
    struct State {
        const ControlSpec* design;
        std::string text;
        bool value;
        bool enabled = true;
    };

    explicit FakeControls(const WindowSpec& window);

    std::string text(std::string_view control) override;
    void setText(std::string_view control, std::string_view text) override;
    bool value(std::string_view control) override;
    void setValue(std::string_view control, bool on) override;
    bool enabled(std::string_view control) override;
    void setEnabled(std::string_view control, bool on) override;

    // The player typing into a text box (the whole new text) or clicking a control.
    void type(std::string_view control, std::string_view text);
    void click(std::string_view control);

    std::function<void(std::string_view, ControlEvent)> onEvent;
    const State& state(std::string_view control) const;

  private:
    State& at(std::string_view control);
    void raise(std::string_view control, ControlEvent event);
    std::map<std::string, State, std::less<>> controls_;
};

// The shell's notification area as a set of icons, and a menu whose choice the test sets.
class FakeTray : public Tray, public Faultable {
  public:
    bool notify(TrayCommand command, const TrayRecord& record) override;
    IconId infoWindowIcon() override { return 0x7001; }
    std::string popupMenu() override {
        ++menusShown;
        return nextMenuChoice;
    }

    // The shell restarts: every icon is gone.
    void restartShell() { icons.clear(); }

    std::map<std::pair<WindowId, std::uint32_t>, TrayRecord> icons;
    bool refuse = false;
    std::string nextMenuChoice;
    int menusShown = 0;
};

}  // namespace rk
