#include "shell/sys_tray.h"

#include <algorithm>

namespace rk {

void SysTray::AddTrayIcon(WindowId hWnd, IconId hIcon, std::string_view tip) {
    record_.cbSize = 88;
    record_.uID = 1;
    record_.hWnd = hWnd;
    record_.uFlags = 7;  // message, icon, tip
    record_.uCallbackMessage = kTrayCallbackMessage;
    record_.hIcon = hIcon;
    if (!tip.empty()) {
        // The tip, one zero byte, then blanks; what does not fit is cut off.
        record_.szTip.fill(' ');
        size_t n = std::min(tip.size(), record_.szTip.size());
        std::copy_n(tip.begin(), n, record_.szTip.begin());
        if (n < record_.szTip.size())
            record_.szTip[n] = '\0';
    }
    tray_.notify(TrayCommand::Add, record_);
    added_ = true;
}

void SysTray::RemoveTrayIcon() {
    tray_.notify(TrayCommand::Delete, record_);
    added_ = false;
}

void SysTray::TaskbarCreated() {
    if (added_)
        tray_.notify(TrayCommand::Add, record_);
}

}  // namespace rk
