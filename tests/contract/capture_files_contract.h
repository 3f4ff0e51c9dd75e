// What every CaptureFiles must do. Instantiated with a harness type:
//
//   struct Harness {
//       CaptureFiles& files();
//       std::string folder();                           // an existing folder of this test's own
//       std::string makeFolder(std::string_view name);  // a new folder inside folder()
//       // Files as another program sees them, bypassing the CaptureFiles.
//       void plant(std::string_view path, std::string_view bytes);
//       std::optional<std::string> stored(std::string_view path);
//       // The names of the files (not folders) directly in a folder, in any order and case.
//       std::vector<std::string> namesIn(std::string_view folder);
//       // Whether the file system keeps a creation time that is set (Wine on Linux cannot).
//       bool keepsCreationTimes();
//   };
#pragma once

#include <gtest/gtest.h>

#include "contract_support.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/capture_files.h"

namespace rk::contract {

template <class Harness>
class CaptureFilesContract : public ::testing::Test {
  protected:
    CaptureFiles& files() { return h.files(); }
    std::string in(std::string_view name) { return h.folder() + "\\" + std::string(name); }

    FileResult write(std::string_view path, std::string_view bytes) {
        const std::span<const std::uint8_t> piece(
            reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        return files().writeNew(path, std::span(&piece, 1));
    }

    std::vector<std::string> names() { return caseBlindSorted(h.namesIn(h.folder())); }

    Harness h;
};

TYPED_TEST_SUITE_P(CaptureFilesContract);

TYPED_TEST_P(CaptureFilesContract, FindLooksUpExactlyOneName) {
    this->h.plant(this->in("ScreenShot1.jpg"), "jpeg");
    const auto found = this->files().find(this->in("ScreenShot1.jpg"));
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->attributes & fileattr::kDirectory, 0u);
    EXPECT_TRUE(this->files().find(this->in("SCREENSHOT1.JPG")).has_value());
    // Wildcards, Windows' DOS ones (< > ") included, are characters no file name can have,
    // not patterns.
    for (const char* name : {"ScreenShot*.jpg", "ScreenShot?.jpg", "*", "ScreenShot1.jp?",
                             "ScreenShot<", "ScreenShot1.jp>", "ScreenShot1\"jpg", "ScreenShot1",
                             "ScreenShot1.jpg.bmp", "ScreenShot2.jpg"}) {
        EXPECT_FALSE(this->files().find(this->in(name)).has_value()) << name;
    }
    EXPECT_FALSE(this->files().find(this->in("Missing\\ScreenShot1.jpg")).has_value());
    EXPECT_FALSE(this->files().find("").has_value());
    EXPECT_FALSE(
        this->files().find(this->in("ScreenShot1.jpg") + std::string("\0.bmp", 5)).has_value());

    const auto folder = this->files().find(this->h.makeFolder("Shots"));
    ASSERT_TRUE(folder.has_value());
    EXPECT_NE(folder->attributes & fileattr::kDirectory, 0u);
}

TYPED_TEST_P(CaptureFilesContract, AttributesSetAreReportedByFind) {
    const std::string path = this->in("ScreenShot1.bmp");
    ASSERT_EQ(this->write(path, "bmp"), FileResult::Ok);
    const auto fresh = this->files().find(path);
    ASSERT_TRUE(fresh.has_value());
    EXPECT_EQ(fresh->attributes, fileattr::kArchive);

    // Wine keeps no archive bit: it reports every file as archived, so "normal" (no bit at all)
    // never comes back either. The other bits come back exactly.
    constexpr std::uint32_t kUnkept = fileattr::kArchive | fileattr::kNormal;
    const std::uint32_t sets[] = {
        fileattr::kHidden | fileattr::kSystem,
        fileattr::kHidden,
        fileattr::kReadOnly | fileattr::kArchive,
        fileattr::kNormal,
    };
    for (const std::uint32_t attributes : sets) {
        ASSERT_TRUE(this->files().setAttributes(path, attributes)) << attributes;
        const auto found = this->files().find(path);
        ASSERT_TRUE(found.has_value()) << attributes;
        EXPECT_EQ(found->attributes & ~kUnkept, attributes & ~kUnkept) << attributes;
        EXPECT_NE(found->attributes, 0u) << attributes;
    }
    EXPECT_FALSE(this->files().setAttributes(this->in("Missing.bmp"), fileattr::kHidden));
}

TYPED_TEST_P(CaptureFilesContract, TimesSetAreReportedByFind) {
    const std::string path = this->in("ScreenShot1.jpg");
    ASSERT_EQ(this->write(path, "jpeg"), FileResult::Ok);
    // 2003-05-04 03:02:01.1234567 and later, to the 100 ns tick.
    const FileTimes times{126'965'737'211'234'567ull, 127'000'000'000'000'001ull,
                          126'999'999'999'999'999ull};
    ASSERT_TRUE(this->files().setTimes(path, times));
    const auto found = this->files().find(path);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->times.lastWrite, times.lastWrite);
    EXPECT_EQ(found->times.lastAccess, times.lastAccess);
    if (this->h.keepsCreationTimes()) {
        EXPECT_EQ(found->times.creation, times.creation);
    }
    EXPECT_FALSE(this->files().setTimes(this->in("Missing.jpg"), times));
}

TYPED_TEST_P(CaptureFilesContract, WriteNewStoresThePiecesInOrder) {
    const std::string a = "\xFF\xD8\xFF\xE0", b, c("\0\r\n\x80\xFF", 5);
    const std::span<const std::uint8_t> pieces[] = {
        {reinterpret_cast<const std::uint8_t*>(a.data()), a.size()},
        {reinterpret_cast<const std::uint8_t*>(b.data()), b.size()},
        {reinterpret_cast<const std::uint8_t*>(c.data()), c.size()},
    };
    ASSERT_EQ(this->files().writeNew(this->in("ScreenShot1.jpg"), pieces), FileResult::Ok);
    EXPECT_EQ(this->h.stored(this->in("ScreenShot1.jpg")), a + b + c);
    ASSERT_EQ(this->files().writeNew(this->in("Empty.jpg"), {}), FileResult::Ok);
    EXPECT_EQ(this->h.stored(this->in("Empty.jpg")), "");
    EXPECT_EQ(this->names(), (std::vector<std::string>{"empty.jpg", "screenshot1.jpg"}));
}

TYPED_TEST_P(CaptureFilesContract, WriteNewNeverTouchesATakenName) {
    this->h.plant(this->in("ScreenShot1.bmp"), "old picture");
    this->h.makeFolder("ScreenShot2.bmp");
    for (const char* name : {"ScreenShot1.bmp", "screenshot1.BMP", "ScreenShot2.bmp"})
        EXPECT_EQ(this->write(this->in(name), "new picture"), FileResult::Exists) << name;
    EXPECT_EQ(this->h.stored(this->in("ScreenShot1.bmp")), "old picture");
    EXPECT_EQ(this->names(), std::vector<std::string>{"screenshot1.bmp"});
}

TYPED_TEST_P(CaptureFilesContract, WriteNewIntoAMissingFolderLeavesNothing) {
    EXPECT_EQ(this->write(this->in("Missing\\ScreenShot1.bmp"), "bmp"), FileResult::PathNotFound);
    EXPECT_FALSE(this->files().find(this->in("Missing\\ScreenShot1.bmp")).has_value());
    EXPECT_FALSE(this->files().find(this->in("Missing")).has_value());
    EXPECT_TRUE(this->names().empty());
}

// A file whose bytes stop coming part way (the encoder failed) is not kept.
TYPED_TEST_P(CaptureFilesContract, FileGivenUpPartWayLeavesNothing) {
    const std::string first = "\xFF\xD8 part";
    int asked = 0;
    const FileResult result =
        this->files().writeNewFrom(this->in("ScreenShot1.jpg"), [&](auto& piece) {
            piece = {reinterpret_cast<const std::uint8_t*>(first.data()), first.size()};
            return ++asked == 1;
        });
    EXPECT_EQ(result, FileResult::Failed);
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(this->files().find(this->in("ScreenShot1.jpg")).has_value());
    EXPECT_TRUE(this->names().empty());
    // Nothing is asked for when the name is taken.
    this->h.plant(this->in("ScreenShot2.jpg"), "old");
    EXPECT_EQ(
        this->files().writeNewFrom(this->in("ScreenShot2.jpg"), [&](auto&) { return ++asked > 0; }),
        FileResult::Exists);
    EXPECT_EQ(asked, 2);
}

TYPED_TEST_P(CaptureFilesContract, MoveWithoutReplaceLeavesTargetAlone) {
    this->h.plant(this->in("new.tmp"), "new picture");
    this->h.plant(this->in("ScreenShot1.jpg"), "old picture");
    EXPECT_EQ(this->files().move(this->in("new.tmp"), this->in("ScreenShot1.jpg"), false),
              FileResult::Exists);
    EXPECT_EQ(this->h.stored(this->in("ScreenShot1.jpg")), "old picture");
    EXPECT_EQ(this->h.stored(this->in("new.tmp")), "new picture");

    EXPECT_EQ(this->files().move(this->in("new.tmp"), this->in("ScreenShot2.jpg"), false),
              FileResult::Ok);
    EXPECT_EQ(this->h.stored(this->in("ScreenShot2.jpg")), "new picture");
    EXPECT_EQ(this->names(), (std::vector<std::string>{"screenshot1.jpg", "screenshot2.jpg"}));
}

TYPED_TEST_P(CaptureFilesContract, MoveWithReplaceReplacesTheTarget) {
    this->h.plant(this->in("new.tmp"), "new");
    this->h.plant(this->in("ScreenShot1.jpg"), "a longer old picture");
    EXPECT_EQ(this->files().move(this->in("new.tmp"), this->in("ScreenShot1.jpg"), true),
              FileResult::Ok);
    EXPECT_EQ(this->h.stored(this->in("ScreenShot1.jpg")), "new");
    EXPECT_EQ(this->names(), std::vector<std::string>{"screenshot1.jpg"});
    // With no target to replace it is a plain rename.
    EXPECT_EQ(this->files().move(this->in("ScreenShot1.jpg"), this->in("ScreenShot2.jpg"), true),
              FileResult::Ok);
    EXPECT_EQ(this->names(), std::vector<std::string>{"screenshot2.jpg"});
}

TYPED_TEST_P(CaptureFilesContract, MovingWhatIsNotThereIsNotFound) {
    this->h.plant(this->in("ScreenShot1.jpg"), "old picture");
    for (const bool replace : {false, true}) {
        EXPECT_EQ(this->files().move(this->in("new.tmp"), this->in("ScreenShot1.jpg"), replace),
                  FileResult::FileNotFound)
            << replace;
    }
    this->h.plant(this->in("new.tmp"), "new picture");
    EXPECT_EQ(this->files().move(this->in("new.tmp"), this->in("Missing\\ScreenShot1.jpg"), true),
              FileResult::PathNotFound);
    EXPECT_EQ(this->h.stored(this->in("ScreenShot1.jpg")), "old picture");
    EXPECT_EQ(this->h.stored(this->in("new.tmp")), "new picture");
}

TYPED_TEST_P(CaptureFilesContract, ReadOnlyFilesAndFoldersAreNeitherReplacedNorRemoved) {
    this->h.plant(this->in("new.tmp"), "new picture");
    this->h.plant(this->in("ScreenShot1.jpg"), "old picture");
    const std::string folder = this->h.makeFolder("ScreenShot2.jpg");
    ASSERT_TRUE(this->files().setAttributes(this->in("ScreenShot1.jpg"), fileattr::kReadOnly));
    EXPECT_FALSE(this->files().remove(this->in("ScreenShot1.jpg")));
    EXPECT_FALSE(this->files().remove(folder));
    EXPECT_EQ(this->files().move(this->in("new.tmp"), this->in("ScreenShot1.jpg"), true),
              FileResult::AccessDenied);
    EXPECT_EQ(this->files().move(this->in("new.tmp"), folder, true), FileResult::AccessDenied);
    EXPECT_EQ(this->h.stored(this->in("ScreenShot1.jpg")), "old picture");
    EXPECT_EQ(this->h.stored(this->in("new.tmp")), "new picture");
    const auto stillFolder = this->files().find(folder);
    ASSERT_TRUE(stillFolder.has_value());
    EXPECT_NE(stillFolder->attributes & fileattr::kDirectory, 0u);
    EXPECT_TRUE(this->files().setAttributes(this->in("ScreenShot1.jpg"), fileattr::kNormal));
}

TYPED_TEST_P(CaptureFilesContract, RemoveDeletesAFileOnce) {
    this->h.plant(this->in("ScreenShot1.jpg"), "jpeg");
    this->h.plant(this->in("ScreenShot2.jpg"), "kept");
    EXPECT_TRUE(this->files().remove(this->in("screenshot1.JPG")));
    EXPECT_FALSE(this->files().find(this->in("ScreenShot1.jpg")).has_value());
    EXPECT_FALSE(this->files().remove(this->in("ScreenShot1.jpg")));
    EXPECT_EQ(this->names(), std::vector<std::string>{"screenshot2.jpg"});
}

// Names Windows refuses, or would give to another file or a device, are never written.
TYPED_TEST_P(CaptureFilesContract, NamesWindowsRefusesAreRefused) {
    for (const char* name :
         {"a*.jpg", "a?.jpg", "a<b.jpg", "a>b.jpg", "a\"b.jpg", "a|b.jpg", "a:b.jpg", "a\x01.jpg",
          "ScreenShot1.jpg.", "ScreenShot1.jpg ", "CON", "nul.jpg", "COM1.bmp", "LPT9"}) {
        const std::string path = this->in(name);
        EXPECT_EQ(this->write(path, "bmp"), FileResult::BadName) << name;
        EXPECT_FALSE(this->files().find(path).has_value()) << name;
    }
    EXPECT_EQ(this->write(this->in(std::string(300, 'a') + ".jpg"), "bmp"), FileResult::BadName);
    EXPECT_TRUE(this->names().empty());
}

TYPED_TEST_P(CaptureFilesContract, ANulInANameActsOnNoShorterName) {
    // The system would stop reading the name at the NUL and act on the file before it.
    const std::string shorter = this->in("ScreenShot1.jpg");
    const std::string cut = shorter + std::string("\0.bmp", 5);
    this->h.plant(shorter, "old picture");
    this->h.plant(this->in("new.tmp"), "new picture");
    EXPECT_NE(this->write(cut, "bmp"), FileResult::Ok);
    EXPECT_NE(this->write(this->in("ScreenShot2.jpg") + std::string("\0", 1), "bmp"),
              FileResult::Ok);
    EXPECT_NE(this->files().move(this->in("new.tmp"), cut, true), FileResult::Ok);
    EXPECT_NE(this->files().move(this->in("new.tmp") + std::string("\0", 1), shorter, true),
              FileResult::Ok);
    EXPECT_FALSE(this->files().setAttributes(cut, fileattr::kHidden));
    EXPECT_FALSE(this->files().setTimes(cut, FileTimes{1, 1, 1}));
    EXPECT_FALSE(this->files().remove(cut));
    EXPECT_EQ(this->h.stored(shorter), "old picture");
    EXPECT_EQ(this->h.stored(this->in("new.tmp")), "new picture");
    const auto entry = this->files().find(shorter);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->attributes & fileattr::kHidden, 0u);
    EXPECT_EQ(this->names(), (std::vector<std::string>{"new.tmp", "screenshot1.jpg"}));
}

REGISTER_TYPED_TEST_SUITE_P(CaptureFilesContract, FindLooksUpExactlyOneName,
                            AttributesSetAreReportedByFind, TimesSetAreReportedByFind,
                            WriteNewStoresThePiecesInOrder, WriteNewNeverTouchesATakenName,
                            WriteNewIntoAMissingFolderLeavesNothing,
                            FileGivenUpPartWayLeavesNothing, MoveWithoutReplaceLeavesTargetAlone,
                            MoveWithReplaceReplacesTheTarget, MovingWhatIsNotThereIsNotFound,
                            NamesWindowsRefusesAreRefused,
                            ReadOnlyFilesAndFoldersAreNeitherReplacedNorRemoved,
                            RemoveDeletesAFileOnce, ANulInANameActsOnNoShorterName);

}  // namespace rk::contract
