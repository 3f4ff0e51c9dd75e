// File look-ups that depend on Windows attributes.
#include "platform/win32/files_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/handles_win.h"
#include "platform/win32/text_win.h"
#include "win32_test_support.h"

namespace rk::win {
namespace {

TEST(Win32Files, HiddenReadOnlyAndSystemFilesAreFiles) {
    contract::ScratchFolder folder;
    const struct {
        const char* name;
        DWORD attributes;
    } cases[] = {
        {"hidden.jpg", FILE_ATTRIBUTE_HIDDEN},
        {"readonly.jpg", FILE_ATTRIBUTE_READONLY},
        {"system.jpg", FILE_ATTRIBUTE_SYSTEM},
    };
    Win32Files files;
    for (const auto& c : cases) {
        const std::wstring path = toWide(folder / c.name);
        UniqueKernelHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(SetFileAttributesW(path.c_str(), c.attributes)) << c.name;
        EXPECT_TRUE(files.isFile(folder / c.name)) << c.name;
    }
}

TEST(Win32Files, WildcardsNameNoFile) {
    contract::ScratchFolder folder;
    UniqueKernelHandle(CreateFileW(toWide(folder / "ScreenShot1.bmp").c_str(), GENERIC_WRITE, 0,
                                   nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    Win32Files files;
    EXPECT_TRUE(files.isFile(folder / "ScreenShot1.bmp"));
    EXPECT_FALSE(files.isFile(folder / "ScreenShot*.bmp"));
    EXPECT_FALSE(files.isFile(folder / "ScreenShot?.bmp"));
}

}  // namespace
}  // namespace rk::win
