#include "platform/file_names.h"

#include <gtest/gtest.h>

#include <string>

namespace rk {
namespace {

TEST(WindowsFileNames, TakesWhatWindowsTakesAndNothingElse) {
    const struct {
        std::string path;
        bool taken;
    } cases[] = {
        {"C:\\Shots\\ScreenShot1.jpg", true},
        {"Player.cfg", true},
        {"C:\\Shots\\", true},
        {"..\\Profile\\Player.cfg", true},
        {"C:\\Program Files (x86)\\Halvane\\Ironveil\\Ironveil\\ScreenShot12.bmp", true},
        {"C:\\Shots\\CON1.jpg", true},  // only the exact device names are devices
        {"C:\\Shots\\Console.jpg", true},
        {"C:\\Shots\\K\xC3\xA4se.jpg", true},
        {"", false},
        {std::string("C:\\Shots\\a\0b.jpg", 17), false},
        {"C:\\Shots\\a\x01.jpg", false},
        {"C:\\Shots\\a\x1F.jpg", false},
        {"C:\\Shots\\a*.jpg", false},
        {"C:\\Shots\\a?.jpg", false},
        {"C:\\Shots\\a<b.jpg", false},
        {"C:\\Shots\\a>b.jpg", false},
        {"C:\\Shots\\a\"b.jpg", false},
        {"C:\\Shots\\a|b.jpg", false},
        {"C:\\Shots\\a:b.jpg", false},
        {"C:\\Sh:ots\\a.jpg", false},
        {"C:\\Shots\\ScreenShot1.jpg.", false},
        {"C:\\Shots\\ScreenShot1.jpg ", false},
        {"C:\\Shots.\\ScreenShot1.jpg", false},
        {"C:\\Shots\\CON", false},
        {"C:\\Shots\\con.jpg", false},
        {"C:\\Shots\\NUL.txt", false},
        {"C:\\Shots\\aux", false},
        {"C:\\Shots\\PRN.cfg", false},
        {"C:\\Shots\\COM1.jpg", false},
        {"C:\\Shots\\lpt9", false},
        {"C:\\NUL\\Player.cfg", false},
        {"C:\\" + std::string(256, 'a'), true},   // 259 units
        {"C:\\" + std::string(257, 'a'), false},  // 260
        // Characters beyond the basic plane take two units each.
        {"C:\\" + std::string(254, 'a') + "\xF0\x9D\x84\x9E", true},
        {"C:\\" + std::string(255, 'a') + "\xF0\x9D\x84\x9E", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WindowsTakesPath(c.path), c.taken) << ::testing::PrintToString(c.path);
}

}  // namespace
}  // namespace rk
