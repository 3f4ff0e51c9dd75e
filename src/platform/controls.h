// The main window's controls as live settings: read and set by name, as in the design table.
#pragma once

#include <string>
#include <string_view>

namespace rk {

// What the host reports back to the main window's handlers.
enum class ControlEvent { Click, Change };

class Controls {
  public:
    virtual ~Controls() = default;
    virtual std::string text(std::string_view control) = 0;
    // A text that differs raises the control's Change, as an edit by the player would.
    virtual void setText(std::string_view control, std::string_view text) = 0;
    // Check box ticked, option button selected.
    virtual bool value(std::string_view control) = 0;
    // A value that differs raises the control's Click; selecting an option clears the others
    // of its frame.
    virtual void setValue(std::string_view control, bool on) = 0;
    virtual bool enabled(std::string_view control) = 0;
    virtual void setEnabled(std::string_view control, bool on) = 0;
};

}  // namespace rk
