#include "game/game_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_capture_files.h"
#include "fake_folders.h"

namespace rk {
namespace {

const std::string kClassic = "D:\\Program Files\\Halvane\\Ironveil\\Ironveil";
const std::string kX86 = "C:\\Program Files (x86)\\Halvane\\Ironveil\\Ironveil";
const std::string kCustom = "E:\\Games\\Ironveil";
const std::string kPicturesShots = "C:\\Users\\Ann\\Pictures\\Ironveil\\ScreenShot";

struct Machine {
    Machine() {
        files.addFolder("C:\\Users\\Ann\\Pictures");
        files.addFolder("C:\\Users\\Ann\\AppData\\Local");
    }
    FakeCaptureFiles files;
    FakeFolders folders{files};
};

struct FolderCase {
    const char* name;
    std::vector<std::string> present;  // folders on the machine
    std::string programFolder;
    std::string expected;
};

class GameFolderRule : public ::testing::TestWithParam<FolderCase> {};

TEST_P(GameFolderRule, TakesTheFirstPlaceThatHoldsTheGame) {
    Machine m;
    for (const std::string& folder : GetParam().present) m.files.addFolder(folder);
    EXPECT_EQ(findGameFolder(m.folders, GetParam().programFolder), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Places, GameFolderRule,
    ::testing::Values(
        // Installed as the game's intro-movie player: the only way a custom install is found,
        // and it wins over a game elsewhere.
        FolderCase{"OwnFolderWithProfile",
                   {kCustom, kCustom + "\\Profile", kClassic, kX86},
                   kCustom,
                   kCustom},
        FolderCase{"ClassicOnProgramsDrive", {kClassic, kX86}, "D:\\Tools", kClassic},
        FolderCase{"BelowProgramFilesX86", {kX86, kCustom}, kCustom, kX86},
        // A folder called Profile that is a file, or no Profile, does not make a game folder.
        FolderCase{"NoneFallsBackToClassic", {kCustom}, "D:\\Tools", kClassic},
        FolderCase{"EmptyProgramFolder", {}, "", ":\\Program Files\\Halvane\\Ironveil\\Ironveil"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GameFolderRule, X86FolderUnknownToTheSystemIsSkipped) {
    Machine m;
    m.folders.known.erase(KnownFolder::ProgramFilesX86);
    m.files.addFolder(kX86);
    EXPECT_EQ(findGameFolder(m.folders, "D:\\Tools"), kClassic);
}

TEST(ScreenshotDefault, GameFolderThatTakesFilesHoldsTheShots) {
    Machine m;
    m.files.addFolder(kX86);
    const ScreenshotDefault d = defaultScreenshotPrefix(m.folders, kX86);
    EXPECT_EQ(d.prefix, kX86 + "\\ScreenShot");
    EXPECT_EQ(d.folderToMake, "");
    EXPECT_TRUE(m.files.filesIn(kX86).empty()) << "the write check left a file";
}

TEST(ScreenshotDefault, GameFolderThatRefusesFilesSendsShotsToPictures) {
    for (bool exists : {true, false}) {
        Machine m;
        if (exists)
            m.files.addFolder(kX86, /*writable=*/false);
        const ScreenshotDefault d = defaultScreenshotPrefix(m.folders, kX86);
        EXPECT_EQ(d.prefix, kPicturesShots) << exists;
        EXPECT_EQ(d.folderToMake, "C:\\Users\\Ann\\Pictures\\Ironveil") << exists;
        EXPECT_EQ(m.folders.probed, std::vector<std::string>{kX86});
    }
}

TEST(ScreenshotDefault, WithoutPicturesTheGameFolderStays) {
    Machine m;
    m.folders.known.erase(KnownFolder::Pictures);
    EXPECT_EQ(defaultScreenshotPrefix(m.folders, kClassic).prefix, kClassic + "\\ScreenShot");
}

TEST(ProfileFolder, VirtualStoreCopyWinsBelowProgramFilesOnly) {
    const std::string x86Store =
        "C:\\Users\\Ann\\AppData\\Local\\VirtualStore\\Program Files (x86)\\Halvane\\Ironveil\\"
        "Ironveil\\Profile";
    const std::string customStore =
        "C:\\Users\\Ann\\AppData\\Local\\VirtualStore\\Games\\Ironveil\\Profile";
    struct Case {
        std::string game;
        std::vector<std::string> present;
        std::string expected;
    } cases[] = {
        {kX86, {kX86 + "\\Profile"}, kX86 + "\\Profile\\"},
        {kX86, {kX86 + "\\Profile", x86Store}, x86Store + "\\"},
        // Case does not matter to Windows, so it does not matter here.
        {"c:\\program files (X86)\\Halvane\\Ironveil\\Ironveil",
         {x86Store},
         "C:\\Users\\Ann\\AppData\\Local\\VirtualStore\\program files (X86)\\Halvane\\Ironveil\\"
         "Ironveil\\Profile\\"},
        {"C:\\Program Files\\Halvane\\Ironveil\\Ironveil",
         {"C:\\Users\\Ann\\AppData\\Local\\VirtualStore\\Program Files\\Halvane\\Ironveil\\"
          "Ironveil\\Profile"},
         "C:\\Users\\Ann\\AppData\\Local\\VirtualStore\\Program Files\\Halvane\\Ironveil\\"
         "Ironveil\\Profile\\"},
        // Windows redirects nothing outside its program folders, even where a copy exists.
        {"C:\\Games\\Ironveil", {customStore}, "C:\\Games\\Ironveil\\Profile\\"},
        // A folder merely named like one is not inside it.
        {"C:\\Program Files (x86)2\\Ironveil", {}, "C:\\Program Files (x86)2\\Ironveil\\Profile\\"},
    };
    for (const Case& c : cases) {
        Machine m;
        for (const std::string& folder : c.present) m.files.addFolder(folder);
        EXPECT_EQ(profileFolder(m.folders, c.game), c.expected) << c.game;
    }
}

TEST(VirtualStoreCopy, NeedsADriveAndLocalAppData) {
    Machine m;
    EXPECT_EQ(virtualStoreCopy(m.folders, "C:\\Program Files (x86)\\X"),
              "C:\\Users\\Ann\\AppData\\Local\\VirtualStore\\Program Files (x86)\\X");
    EXPECT_EQ(virtualStoreCopy(m.folders, "\\\\server\\share\\X"), "");
    m.folders.known.erase(KnownFolder::LocalAppData);
    EXPECT_EQ(virtualStoreCopy(m.folders, "C:\\Program Files (x86)\\X"), "");
}

TEST(FakeFolders, CreateFolderMakesParentsButNotInAReadOnlyOne) {
    Machine m;
    EXPECT_TRUE(m.folders.createFolder("C:\\Users\\Ann\\Pictures\\Ironveil\\Raids"));
    EXPECT_TRUE(m.folders.isFolder("C:\\Users\\Ann\\Pictures\\Ironveil"));
    m.files.addFolder("R:\\Locked", /*writable=*/false);
    EXPECT_FALSE(m.folders.createFolder("R:\\Locked\\Shots"));
    EXPECT_FALSE(m.folders.isFolder("R:\\Locked\\Shots"));
}

}  // namespace
}  // namespace rk
