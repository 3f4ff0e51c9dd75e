// Push buttons in the design's colours, which Windows only paints through owner drawing.
#pragma once

#include <windows.h>

namespace rk::win {

// Paints one WM_DRAWITEM of a BS_OWNERDRAW button: raised when up and sunken while pressed,
// the caption with its access-key underline, embossed grey when disabled, and the focus
// rectangle while it has the keyboard focus.
void drawOwnerButton(const DRAWITEMSTRUCT& item, COLORREF back, COLORREF fore, HFONT font);

}  // namespace rk::win
