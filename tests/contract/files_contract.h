// What every Files must do. Instantiated with a harness type:
//
//   struct Harness {
//       Files& files();
//       std::string makeFile(std::string_view name);    // full path of a new file
//       std::string makeFolder(std::string_view name);  // full path of a new folder
//       std::string missing(std::string_view name);     // full path where nothing is
//   };
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/files.h"

namespace rk::contract {

template <class Harness>
class FilesContract : public ::testing::Test {
  protected:
    Harness h;
};

TYPED_TEST_SUITE_P(FilesContract);

TYPED_TEST_P(FilesContract, AnExistingFileIsAFile) {
    for (const char* name : {"ScreenShot1.bmp",
                             "Sp\xC3\xA9"
                             "cial \xE2\x82\xAC.jpg"}) {
        EXPECT_TRUE(this->h.files().isFile(this->h.makeFile(name))) << name;
    }
}

TYPED_TEST_P(FilesContract, MissingPathsAndFoldersAreNotFiles) {
    EXPECT_FALSE(this->h.files().isFile(this->h.missing("ScreenShot2.bmp")));
    EXPECT_FALSE(this->h.files().isFile(this->h.makeFolder("ScreenShot3.bmp")));
    EXPECT_FALSE(this->h.files().isFile(""));
}

TYPED_TEST_P(FilesContract, NamesIgnoreCase) {
    std::string path = this->h.makeFile("Player.cfg");
    std::transform(path.begin(), path.end(), path.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    EXPECT_TRUE(this->h.files().isFile(path));
}

TYPED_TEST_P(FilesContract, ANulCutsNoNameShort) {
    const std::string path = this->h.makeFile("Cut");
    EXPECT_FALSE(this->h.files().isFile(path + std::string("\0.bmp", 5)));
}

REGISTER_TYPED_TEST_SUITE_P(FilesContract, AnExistingFileIsAFile, MissingPathsAndFoldersAreNotFiles,
                            NamesIgnoreCase, ANulCutsNoNameShort);

}  // namespace rk::contract
