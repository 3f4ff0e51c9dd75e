#include "profile/save_n_open.h"

#include <gtest/gtest.h>

#include "fake_text_files.h"

namespace rk {
namespace {

TEST(SaveNOpen, SplitsAtCarriageReturnsWithOrWithoutLineFeed) {
    struct Case {
        std::string bytes;
        FileLines lines;
    };
    const Case cases[] = {
        {"", {}},
        {"one", {"one"}},
        {"one\r\ntwo\r\n", {"one", "two"}},
        {"one\rtwo\r", {"one", "two"}},
        {"one\r\ntwo", {"one", "two"}},
        {"one\r\n\r\nthree\r\n", {"one", "", "three"}},
        {"one\r\n\r\n", {"one", ""}},
        {"\r\n", {""}},
        {"one\r\r\n", {"one", ""}},
        {"one\ntwo\r\nthree", {"one\ntwo", "three"}},
        {"one\n\rtwo", {"one\n", "two"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitLines(c.bytes), c.lines) << testing::PrintToString(c.bytes);
}

TEST(SaveNOpen, JoiningEndsEveryLineWithCrLfAndSplitsBackToTheSameLines) {
    struct Case {
        FileLines lines;
        std::string bytes;
    };
    const Case cases[] = {
        {{}, ""},
        {{""}, "\r\n"},
        {{"one", "", "three"}, "one\r\n\r\nthree\r\n"},
        {{"one", ""}, "one\r\n\r\n"},
        {{"a\nb", "\xE9t\xE9"}, "a\nb\r\n\xE9t\xE9\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JoinLines(c.lines), c.bytes);
        EXPECT_EQ(SplitLines(JoinLines(c.lines)), c.lines);
    }
}

TEST(SaveNOpen, LoadsEveryLinePastTwoHundred) {
    FakeTextFiles files;
    std::string bytes;
    for (int i = 1; i <= 250; ++i) bytes += "line " + std::to_string(i) + "\r";
    files.addFile("C:\\Profile\\Player.cfg", bytes);

    FileLines lines = LoadLines(files, "c:\\profile\\player.cfg");

    ASSERT_EQ(lines.size(), 250u);
    EXPECT_EQ(lines[199], "line 200");
    EXPECT_EQ(lines[249], "line 250");
}

TEST(SaveNOpen, FilesThatCannotBeReadGiveNoLines) {
    FakeTextFiles files;
    files.addFile("C:\\Profile\\Locked.cfg", "one\r\ntwo\r\n");
    files.denyReads("C:\\Profile\\Locked.cfg");

    EXPECT_TRUE(LoadLines(files, "C:\\Profile\\Missing.cfg").empty());
    EXPECT_TRUE(LoadLines(files, "C:\\Profile\\Locked.cfg").empty());
    EXPECT_TRUE(LoadLines(files, "C:\\Profile").empty());
    EXPECT_TRUE(LoadLines(files, "").empty());
}

TEST(SaveNOpen, SavingReplacesTheWholeContent) {
    FakeTextFiles files;
    files.addFile("C:\\Profile\\Player.cfg", "a much longer old content\r\n");

    EXPECT_EQ(SaveText(files, "C:\\Profile\\Player.cfg", "new\r\n"), std::nullopt);
    EXPECT_EQ(files.contents("C:\\Profile\\Player.cfg"), "new\r\n");
}

TEST(SaveNOpen, FailedSaveTellsWhyAndLeavesTheFileAsItWas) {
    FakeTextFiles files;
    files.addFile("C:\\Profile\\Player.cfg", "old\r\n");
    files.denyWrites("C:\\Profile\\Player.cfg");

    EXPECT_EQ(SaveText(files, "C:\\Profile\\Player.cfg", "new\r\n"),
              "C:\\Profile\\Player.cfg: Path/File access error");
    EXPECT_EQ(files.contents("C:\\Profile\\Player.cfg"), "old\r\n");

    EXPECT_EQ(SaveText(files, "D:\\Nowhere\\Player.cfg", "new\r\n"),
              "D:\\Nowhere\\Player.cfg: Path not found");
    EXPECT_NE(SaveText(files, "", "new\r\n"), std::nullopt);
    EXPECT_EQ(files.fileCount(), 1u);
}

}  // namespace
}  // namespace rk
