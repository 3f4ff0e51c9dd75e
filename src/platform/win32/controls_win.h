// Controls over the main window's real child controls, found by their design names.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>

#include "platform/controls.h"

namespace rk::win {

class Win32Controls final : public Controls {
  public:
    // A control the window has made; group is its frame, within which option buttons exclude
    // one another.
    void add(std::string name, HWND control, std::string group = {});
    // The design name of a control, "" for one that was not added.
    std::string nameOf(HWND control) const;

    std::string text(std::string_view control) override;
    void setText(std::string_view control, std::string_view text) override;
    bool value(std::string_view control) override;
    void setValue(std::string_view control, bool on) override;
    bool enabled(std::string_view control) override;
    void setEnabled(std::string_view control, bool on) override;

    // Click of a check box or option button whose value was set from code (Windows reports only
    // the player's clicks). A text box's Change comes from Windows itself (EN_CHANGE).
    std::function<void(std::string_view control, ControlEvent event)> onEvent;

  private:
    struct Entry {
        HWND hwnd;
        std::string group;
        bool option;
    };
    const Entry* find(std::string_view control) const;

    std::map<std::string, Entry, std::less<>> controls_;
};

}  // namespace rk::win
