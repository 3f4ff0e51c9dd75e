#include "capture/screenshot_naming.h"

#include <gtest/gtest.h>

#include "fake_capture_files.h"

namespace rk {
namespace {

constexpr const char* kPrefix = "C:\\Shots\\ScreenShot";

struct Folder {
    Folder() { files.addFolder("C:\\Shots"); }
    void add(const std::string& name, std::uint32_t attributes = fileattr::kArchive) {
        files.addFile(std::string("C:\\Shots\\") + name, {}, attributes);
    }
    std::string next(const char* ext = ".jpg", const char* prefix = kPrefix) {
        return naming.next(files, prefix, ext);
    }
    FakeCaptureFiles files;
    ScreenshotNaming naming;
};

TEST(ScreenshotNaming, FillsFirstGap) {
    Folder f;
    f.add("ScreenShot1.jpg");
    f.add("ScreenShot2.jpg");
    f.add("ScreenShot4.jpg");
    EXPECT_EQ(f.next(), "C:\\Shots\\ScreenShot3.jpg");
    f.add("ScreenShot3.jpg");
    EXPECT_EQ(f.next(), "C:\\Shots\\ScreenShot5.jpg");
}

TEST(ScreenshotNaming, FormatsAreNumberedIndependently) {
    Folder f;
    f.add("ScreenShot1.jpg");
    f.add("ScreenShot2.jpg");
    EXPECT_EQ(f.next(".bmp"), "C:\\Shots\\ScreenShot1.bmp");
}

TEST(ScreenshotNaming, TenFollowsNineUnpadded) {
    Folder f;
    for (int n = 1; n <= 9; ++n) f.add("ScreenShot" + std::to_string(n) + ".jpg");
    EXPECT_EQ(f.next(), "C:\\Shots\\ScreenShot10.jpg");
}

TEST(ScreenshotNaming, PrefixEndingInBackslashGivesBareNumbers) {
    Folder f;
    f.add("1.jpg");
    EXPECT_EQ(f.next(".jpg", "C:\\Shots\\"), "C:\\Shots\\2.jpg");
}

struct Takes {
    std::optional<std::uint32_t> attributes;  // nullopt: nothing of that name
    bool takes;
    const char* what;
};

TEST(ScreenshotNaming, OnlyEntriesThatMustNotBeReplacedTakeANumber) {
    using namespace fileattr;
    const Takes table[] = {
        {std::nullopt, false, "nothing"},
        {kArchive, true, "ordinary file"},
        {kNormal, true, "file without attributes"},
        {kReadOnly | kArchive, true, "read-only file"},
        {kHidden, false, "hidden file"},
        {kHidden | kSystem, false, "protected system file (hidden)"},
        {kSystem, true, "system file Explorer shows"},
        {kDirectory, true, "folder"},
        {kDirectory | kHidden, true, "hidden folder"},
    };
    for (const auto& row : table) {
        std::optional<FileEntry> entry;
        if (row.attributes)
            entry = FileEntry{*row.attributes, {}};
        EXPECT_EQ(TakesItsNumber(entry), row.takes) << row.what;
    }
}

TEST(ScreenshotNaming, FolderOfTheNameIsPassedOver) {
    Folder f;
    f.files.addFolder("C:\\Shots\\ScreenShot1.jpg");
    EXPECT_EQ(f.next(), "C:\\Shots\\ScreenShot2.jpg");
}

TEST(ScreenshotNaming, StoredFileKeepsItsNumberWhileItExists) {
    Folder f;
    // A screenshot that replaced a hidden file carries its hidden attribute.
    f.add("ScreenShot1.jpg", fileattr::kHidden);
    const std::string first = f.next();
    f.naming.stored(first);
    EXPECT_EQ(f.next(), "C:\\Shots\\ScreenShot2.jpg");

    // Deleted by the player: the gap is filled again.
    ASSERT_TRUE(f.files.remove(first));
    EXPECT_EQ(f.next(), "C:\\Shots\\ScreenShot1.jpg");
}

}  // namespace
}  // namespace rk
