// Implements: focusControl (AttachThreadInput), typeText and pressKey (SendInput).
#include "input_inject.h"

#include "live_window.h"

namespace rkprobe {

bool focusControl(HWND control) {
    HWND root = GetAncestor(control, GA_ROOT);
    const DWORD theirs = GetWindowThreadProcessId(control, nullptr);
    const DWORD ours = GetCurrentThreadId();
    // SetFocus works on another thread's window only while the two share their input state.
    AttachThreadInput(ours, theirs, TRUE);
    SetForegroundWindow(root);
    SetFocus(control);
    AttachThreadInput(ours, theirs, FALSE);
    return waitFor([&] { return focusOf(root) == control; }, 3000);
}

void typeText(const std::wstring& text) {
    for (const wchar_t ch : text) {
        INPUT keys[2] = {};
        for (int i = 0; i < 2; ++i) {
            keys[i].type = INPUT_KEYBOARD;
            keys[i].ki.wScan = ch;
            keys[i].ki.dwFlags = KEYEVENTF_UNICODE | (i == 1 ? KEYEVENTF_KEYUP : 0);
        }
        SendInput(2, keys, sizeof(INPUT));
        // SendInput returns before the keys are handled; pacing keeps them in order.
        Sleep(30);
    }
}

void pressKey(WORD virtualKey) {
    INPUT keys[2] = {};
    for (int i = 0; i < 2; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = virtualKey;
        keys[i].ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
        keys[i].ki.dwFlags = i == 1 ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(2, keys, sizeof(INPUT));
    Sleep(30);
}

}  // namespace rkprobe
