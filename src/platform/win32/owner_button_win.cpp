// Implements: drawOwnerButton.
#include "platform/win32/owner_button_win.h"

#include <string>

#include "platform/win32/handles_win.h"

namespace rk::win {

namespace {
std::wstring captionOf(HWND button) {
    const int length = GetWindowTextLengthW(button);
    std::wstring text(static_cast<std::size_t>(length < 0 ? 0 : length) + 1, L'\0');
    const int got = GetWindowTextW(button, text.data(), static_cast<int>(text.size()));
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

void drawCaption(HDC dc, const std::wstring& text, RECT area, UINT format, COLORREF colour) {
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, format);
}
}  // namespace

void drawOwnerButton(const DRAWITEMSTRUCT& item, COLORREF back, COLORREF fore, HFONT font) {
    HDC dc = item.hDC;
    RECT area = item.rcItem;
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;

    UniqueGdiObject face(CreateSolidBrush(back));
    FillRect(dc, &area, static_cast<HBRUSH>(face.get()));
    DrawEdge(dc, &area, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);

    const std::wstring caption = captionOf(item.hwndItem);
    RECT text = area;
    InflateRect(&text, -2, -2);
    if (pushed)
        OffsetRect(&text, 1, 1);
    // The underline follows the system's keyboard-cue setting, as on every other control.
    const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE |
                        ((item.itemState & ODS_NOACCEL) != 0 ? DT_HIDEPREFIX : 0);
    const HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = GetTextColor(dc);
    if (disabled) {
        // Engraved, as Windows draws disabled captions: a light copy one pixel down-right.
        RECT light = text;
        OffsetRect(&light, 1, 1);
        drawCaption(dc, caption, light, format, GetSysColor(COLOR_3DHILIGHT));
        drawCaption(dc, caption, text, format, GetSysColor(COLOR_3DSHADOW));
    } else {
        drawCaption(dc, caption, text, format, fore);
    }
    if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        RECT focus = area;
        InflateRect(&focus, -3, -3);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &focus);
    }
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    if (oldFont)
        SelectObject(dc, oldFont);
}

}  // namespace rk::win
