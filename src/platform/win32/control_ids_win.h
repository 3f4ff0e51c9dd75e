// How a reader outside the process finds the program's windows and names their controls.
#pragma once

#include <cstddef>

namespace rk::win {

// Window classes of the main window (Form1) and the info window (ICONfrm).
inline constexpr wchar_t kMainWindowClass[] = L"RaidkitForm1";
inline constexpr wchar_t kInfoWindowClass[] = L"RaidkitICONfrm";

// A control's id (GetDlgCtrlID) is kFirstControlId plus its index in its window's design table,
// form1Layout() or iconFrmLayout(). The ids stay clear of IDOK and IDCANCEL, which the dialog
// manager sends for Enter and Esc.
inline constexpr int kFirstControlId = 1000;

constexpr int controlIdOf(std::size_t designIndex) {
    return kFirstControlId + static_cast<int>(designIndex);
}
// Fonts cannot be read from outside the process (WM_GETFONT does not cross it, nor do GDI
// handles). Both windows answer this registered message, wParam being the asking window and
// lParam a control id, by sending that window WM_COPYDATA with dwData the control id and the
// control's LOGFONTW as data. The result is TRUE when an answer was sent.
inline constexpr wchar_t kDescribeFontMessage[] = L"Raidkit.DescribeControlFont";

// The main window answers this registered message with heldHandleCounts() of handles_win.h,
// for a bench watching the program from outside: the GDI count in the high 32 bits of the
// result, the USER count in the low 32.
inline constexpr wchar_t kHandleCountsMessage[] = L"Raidkit.HandleCounts";

// -1 for an id that names no design entry.
constexpr int designIndexOf(int controlId, std::size_t designSize) {
    const int index = controlId - kFirstControlId;
    return index >= 0 && static_cast<std::size_t>(index) < designSize ? index : -1;
}

}  // namespace rk::win
