// The child controls of one of the program's windows, made from its design table.
#pragma once

#include <windows.h>

#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/win32/handles_win.h"
#include "shell/layout.h"

namespace rk::win {

class DesignedControls {
  public:
    explicit DesignedControls(const WindowSpec& design) : design_(design) {}
    DesignedControls(const DesignedControls&) = delete;
    DesignedControls& operator=(const DesignedControls&) = delete;

    // Makes every design entry that is a window (all but timers and dialogs) a child of window,
    // stacked as the design lists them, with its id from control_ids_win.h, then lays them out
    // at the window's DPI. False when Windows refused one.
    bool create(HWND window, HINSTANCE instance);
    // Sizes the window for its design client area and places every control at dpi, with fonts
    // made for dpi.
    void layout(UINT dpi);
    UINT dpi() const { return dpi_; }

    const WindowSpec& design() const { return design_; }
    const ControlSpec* designOf(HWND control) const;
    HWND handleOf(std::string_view name) const;
    // Every control made, in design order.
    std::vector<std::pair<const ControlSpec*, HWND>> made() const;

    HBRUSH backgroundBrush() { return brush(design_.back); }
    // WM_CTLCOLOR*: sets the DC's colours for one of our controls and returns its background
    // brush; nullptr for any other window.
    HBRUSH colourControl(HWND control, HDC dc);
    // WM_DRAWITEM of one of our buttons; false for anything else.
    bool drawItem(const DRAWITEMSTRUCT& item);

    // Tab and Shift+Tab: the next control by tab index that can take the focus now.
    bool tab(bool backwards);
    // The button pressed by Esc, nullptr when it cannot be pressed now.
    HWND cancelButton() const;
    // Whether control is one of our buttons that can be pressed now.
    bool isPressableButton(HWND control) const;
    // The focus leaves with the window and comes back to the same control.
    void rememberFocus();
    void restoreFocus();

    // A frame painted in its design colours (themes and some systems ignore them).
    void paintFrame(HWND frame, HDC dc);

  private:
    HBRUSH brush(Colour colour);
    HFONT fontFor(const ControlSpec& control) const;
    POINT originOf(std::size_t index) const;
    std::vector<std::size_t> tabStops() const;

    const WindowSpec& design_;
    HWND window_ = nullptr;
    std::vector<HWND> handles_;  // by design index; nullptr where the entry has no window
    UniqueGdiObject defaultFont_;
    UniqueGdiObject timesFont_;
    std::map<Colour, UniqueGdiObject> brushes_;
    HWND lastFocus_ = nullptr;
    UINT dpi_ = 96;
};

// The window's default font is MS Sans Serif 8 pt, the face the twips were laid out for. Windows
// carries its TrueType successor, sharp at every DPI; where that is missing (Wine) the original.
inline constexpr wchar_t kModernSansSerif[] = L"Microsoft Sans Serif";
inline constexpr wchar_t kClassicSansSerif[] = L"MS Sans Serif";
const wchar_t* defaultFontFace();
inline constexpr wchar_t kTimesFace[] = L"Times New Roman";

// Design entries in stacking order, topmost first: each frame's contents lie above the frame,
// and the whole group takes the frame's place among its own siblings.
std::vector<std::size_t> stackingOrder(const WindowSpec& design);

}  // namespace rk::win
