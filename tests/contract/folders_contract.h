// What every Folders must do. Instantiated with a harness type:
//
//   struct Harness {
//       Folders& folders();
//       std::string makeFolder(std::string_view name);  // full path of a new folder
//       std::string makeFile(std::string_view name);    // full path of a new file
//       std::string missing(std::string_view name);     // full path where nothing is
//       std::vector<std::string> namesIn(std::string_view folder);  // files, hidden ones too
//   };
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/folders.h"

namespace rk::contract {

template <class Harness>
class FoldersContract : public ::testing::Test {
  protected:
    Harness h;
};

TYPED_TEST_SUITE_P(FoldersContract);

TYPED_TEST_P(FoldersContract, OnlyAnExistingFolderIsAFolder) {
    Folders& f = this->h.folders();
    EXPECT_TRUE(f.isFolder(this->h.makeFolder("Ironveil")));
    EXPECT_FALSE(f.isFolder(this->h.missing("Gone")));
    EXPECT_FALSE(f.isFolder(this->h.makeFile("Profile")));
    EXPECT_FALSE(f.isFolder(""));
    EXPECT_FALSE(f.isFolder(this->h.makeFolder("Cut") + std::string("\0x", 2)));
}

TYPED_TEST_P(FoldersContract, WriteCheckLeavesNothingBehind) {
    Folders& f = this->h.folders();
    const std::string folder = this->h.makeFolder("Game");
    EXPECT_TRUE(f.canCreateFileIn(folder));
    EXPECT_TRUE(f.canCreateFileIn(folder + "\\"));
    EXPECT_TRUE(this->h.namesIn(folder).empty());
    EXPECT_FALSE(f.canCreateFileIn(this->h.missing("Gone")));
    EXPECT_FALSE(f.canCreateFileIn(""));
}

TYPED_TEST_P(FoldersContract, CreateFolderMakesEveryMissingParent) {
    Folders& f = this->h.folders();
    const std::string top = this->h.missing("Pictures");
    const std::string deep = top + "\\Ironveil\\Raids";
    EXPECT_TRUE(f.createFolder(deep));
    EXPECT_TRUE(f.isFolder(top));
    EXPECT_TRUE(f.isFolder(deep));
    EXPECT_TRUE(f.createFolder(deep)) << "an existing folder is there afterwards";
    EXPECT_FALSE(f.createFolder(this->h.makeFile("Taken")));
    EXPECT_FALSE(f.createFolder(""));
}

TYPED_TEST_P(FoldersContract, KnownFoldersAreFullPathsWithoutTrailingBackslash) {
    for (KnownFolder k : {KnownFolder::ProgramFiles, KnownFolder::ProgramFilesX86,
                          KnownFolder::Pictures, KnownFolder::LocalAppData}) {
        const std::string path = this->h.folders().knownFolder(k);
        ASSERT_GE(path.size(), 3u) << static_cast<int>(k);
        EXPECT_EQ(path.substr(1, 2), ":\\") << path;
        EXPECT_NE(path.back(), '\\') << path;
    }
}

REGISTER_TYPED_TEST_SUITE_P(FoldersContract, OnlyAnExistingFolderIsAFolder,
                            WriteCheckLeavesNothingBehind, CreateFolderMakesEveryMissingParent,
                            KnownFoldersAreFullPathsWithoutTrailingBackslash);

}  // namespace rk::contract
