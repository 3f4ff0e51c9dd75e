#include "send_keys.h"

#include <windows.h>

#include <cstdio>

namespace e2e {

namespace {

// Both codes go out: windows translate the virtual key into WM_KEYDOWN/WM_CHAR, while DirectInput
// keyboards read the scan code (with a scan code of 0 they see only Pause).
INPUT key_event(const KeySpec& key, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key.vk;
    in.ki.wScan = key.scan != 0 ? key.scan
                                : static_cast<WORD>(MapVirtualKeyW(key.vk, MAPVK_VK_TO_VSC) & 0xFF);
    in.ki.dwFlags = (key.extended ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
    return in;
}

}  // namespace

// A keyboard's key is never refused: should Windows refuse an injected one, the log says why.
bool send_key_event(const KeySpec& key, bool up) {
    INPUT in = key_event(key, up);
    if (SendInput(1, &in, sizeof in) == 1) {
        return true;
    }
    std::fprintf(stderr, "SendInput refused key 0x%02X %s (error %lu)\n",
                 static_cast<unsigned>(key.vk), up ? "up" : "down", GetLastError());
    return false;
}

bool press_key(const KeySpec& key, unsigned hold_ms) {
    if (!send_key_event(key, false)) {
        return false;
    }
    // Held across several 15 ms polls: a plain tap can fall between two reads of the keyboard.
    Sleep(hold_ms);
    return send_key_event(key, true);
}

}  // namespace e2e
