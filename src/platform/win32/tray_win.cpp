// Implements: rk::win::Win32Tray (Shell_NotifyIconW with the first record size, pop-up menu).
#include "platform/win32/tray_win.h"

#include <shellapi.h>

#include <algorithm>
#include <string>

#include "platform/win32/handles_win.h"
#include "platform/win32/text_win.h"
#include "platform/win32/window_system_win.h"
#include "shell/layout.h"

namespace rk::win {

Win32Tray::Win32Tray(HWND menuOwner, HICON infoIcon, UINT callbackMessage)
    : menuOwner_(menuOwner), infoIcon_(infoIcon), callbackMessage_(callbackMessage) {}

bool Win32Tray::notify(TrayCommand command, const TrayRecord& record) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = toHwnd(record.hWnd);
    data.uID = record.uID;
    data.uFlags = record.uFlags & (NIF_MESSAGE | NIF_ICON | NIF_TIP);
    // The record names WM_MOUSEMOVE, which the window also gets from the real mouse with its
    // position in lParam; a message of our own keeps the two apart.
    data.uCallbackMessage = record.uCallbackMessage != 0 ? callbackMessage_ : 0;
    data.hIcon = reinterpret_cast<HICON>(static_cast<std::uintptr_t>(record.hIcon));
    // The tip ends at its first NUL; the first record form holds 63 characters and a NUL.
    const auto end = std::find(record.szTip.begin(), record.szTip.end(), '\0');
    std::wstring tip = toWide(std::string_view(
        record.szTip.data(), static_cast<std::size_t>(end - record.szTip.begin())));
    tip.resize(std::min<std::size_t>(tip.size(), 63));
    std::copy(tip.begin(), tip.end(), data.szTip);
    const DWORD message = command == TrayCommand::Add ? NIM_ADD : NIM_DELETE;
    return Shell_NotifyIconW(message, &data) != FALSE;
}

IconId Win32Tray::infoWindowIcon() {
    return static_cast<IconId>(reinterpret_cast<std::uintptr_t>(infoIcon_));
}

std::string Win32Tray::popupMenu() {
    UniqueMenu menu(CreatePopupMenu());
    if (!menu)
        return {};
    const auto items = trayMenu();
    for (std::size_t i = 0; i < items.size(); ++i) {
        AppendMenuW(menu.get(), MF_STRING, i + 1, toWide(items[i].caption).c_str());
    }
    POINT at{};
    GetCursorPos(&at);
    // Without the owner in front the menu would not close when the player clicks elsewhere.
    SetForegroundWindow(menuOwner_);
    const UINT chosen =
        static_cast<UINT>(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                         at.x, at.y, 0, menuOwner_, nullptr));
    PostMessageW(menuOwner_, WM_NULL, 0, 0);
    if (chosen == 0 || chosen > items.size())
        return {};
    return std::string(items[chosen - 1].name);
}

}  // namespace rk::win
