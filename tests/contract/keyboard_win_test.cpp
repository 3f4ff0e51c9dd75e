// The DirectInput keyboard on the real system: set up on a window, read, let go, come back.
#include "platform/win32/keyboard_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/handles_win.h"

namespace rk::win {
namespace {

UniqueWindow hiddenWindow() {
    return UniqueWindow(CreateWindowExW(0, L"STATIC", L"Raidkit keyboard test", WS_OVERLAPPED, 0, 0,
                                        100, 100, nullptr, nullptr, GetModuleHandleW(nullptr),
                                        nullptr));
}

TEST(DirectInputKeyboard, ReadsTheWholeKeyboardFromAHiddenWindow) {
    UniqueWindow window = hiddenWindow();
    ASSERT_TRUE(window);
    DirectInputKeyboard keyboard(window.get());
    KeyState state;
    state.fill(0xEE);
    EXPECT_FALSE(keyboard.read(state)) << "read before set-up";
    EXPECT_EQ(state[0], 0) << "a failed read must not leave keys looking down";

    ASSERT_NO_THROW(keyboard.setUp());
    state.fill(0xEE);
    EXPECT_TRUE(keyboard.read(state));
    for (std::size_t code = 0; code < state.size(); ++code) {
        EXPECT_TRUE(state[code] == 0 || state[code] == 0x80) << "code " << code;
    }

    keyboard.unacquire();
    EXPECT_FALSE(keyboard.read(state));
    keyboard.reacquire();
    EXPECT_TRUE(keyboard.read(state));
}

}  // namespace
}  // namespace rk::win
