// What every TextFiles must do. Instantiated with a harness type:
//
//   struct Harness {
//       TextFiles& files();
//       std::string folder();                        // an existing folder of this test's own
//       std::string makeFolder(std::string_view name);  // a new folder inside folder()
//       // Stores and reads files the way another program would, bypassing the TextFiles.
//       void plant(std::string_view path, std::string_view bytes);
//       std::optional<std::string> stored(std::string_view path);
//       // The names of the files (not folders) directly in a folder, in any order and case.
//       std::vector<std::string> namesIn(std::string_view folder);
//       void makeReadOnly(std::string_view path);
//       // Held open by another program that shares nothing, until unlock.
//       void lock(std::string_view path);
//       void unlock(std::string_view path);
//   };
#pragma once

#include <gtest/gtest.h>

#include "contract_support.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "capture/file_replace.h"
#include "platform/error.h"
#include "platform/text_files.h"

namespace rk::contract {

template <class Harness>
class TextFilesContract : public ::testing::Test {
  protected:
    TextFiles& files() { return h.files(); }
    std::string in(std::string_view name) { return h.folder() + "\\" + std::string(name); }

    // The number raised by a call, or 0 when it raised nothing.
    template <class Call>
    static int raised(Call call) {
        try {
            call();
        } catch (const RaidError& e) {
            EXPECT_FALSE(e.description().empty());
            return e.number();
        }
        return 0;
    }

    std::vector<std::string> names() { return caseBlindSorted(h.namesIn(h.folder())); }

    static std::string everyByte() {
        std::string bytes;
        for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
        return bytes;
    }

    Harness h;
};

TYPED_TEST_SUITE_P(TextFilesContract);

TYPED_TEST_P(TextFilesContract, ReadAllGivesTheBytesExactlyAsStored) {
    // Past one read of the Win32 layer (1 MiB), with a pattern that shows a lost or doubled
    // chunk.
    std::string large;
    for (std::size_t i = 0; large.size() < (1u << 20) + 3; ++i) large += std::to_string(i) + "\r\n";
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty.cfg", ""},
        {"crlf.cfg", "\"name\" \"Bob\"\r\nsecond\r\n"},
        {"lone.cfg", "cr\ronly\nlf\r"},
        {"zeros.cfg", std::string("a\0b\0", 4)},  // not "nul.cfg": that is the NUL device
        {"high.cfg", "Caf\xE9 \x80 \x81\x8D\x8F\x90\x9D \xFF"},
        {"all.cfg", TestFixture::everyByte()},
        {"large.cfg", large},
    };
    for (const Case& c : cases) this->h.plant(this->in(c.name), c.bytes);
    for (const Case& c : cases) {
        const std::string got = this->files().readAll(this->in(c.name));
        EXPECT_EQ(got.size(), c.bytes.size()) << c.name;
        EXPECT_TRUE(got == c.bytes) << c.name;
    }
}

TYPED_TEST_P(TextFilesContract, MissingFileOrFolderRaisesItsOwnNumber) {
    EXPECT_EQ(this->raised([&] { this->files().readAll(this->in("Player.cfg")); }),
              err::kFileNotFound);
    EXPECT_EQ(this->raised([&] { this->files().readAll(this->in("Profile\\Player.cfg")); }),
              err::kPathNotFound);
}

TYPED_TEST_P(TextFilesContract, FoldersAndLockedFilesRefuseReading) {
    const std::string folder = this->h.makeFolder("Profile");
    EXPECT_EQ(this->raised([&] { this->files().readAll(folder); }), err::kPathFileAccess);
    const std::string locked = this->in("Player.cfg");
    this->h.plant(locked, "line\r\n");
    this->h.lock(locked);
    EXPECT_EQ(this->raised([&] { this->files().readAll(locked); }), err::kPermissionDenied);
}

TYPED_TEST_P(TextFilesContract, BadNamesAreRefusedAndNeverCutShort) {
    // A NUL would make the system act on the shorter name before it.
    const std::string shorter = this->in("Player.cfg");
    this->h.plant(shorter, "kept");
    for (const std::string& path : {std::string(), shorter + std::string("\0.bak", 5)}) {
        EXPECT_EQ(this->raised([&] { this->files().readAll(path); }), err::kBadFileName)
            << ::testing::PrintToString(path);
        EXPECT_EQ(this->raised([&] { WriteWholeFile(this->files(), path, "new"); }),
                  err::kBadFileName)
            << ::testing::PrintToString(path);
    }
    EXPECT_EQ(this->h.stored(shorter), "kept");
    EXPECT_EQ(this->names(), std::vector<std::string>{"player.cfg"});
}

TYPED_TEST_P(TextFilesContract, WritingANewFileStoresExactlyTheBytes) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"a.cfg", "\"name\" \"Ann\"\r\n"},
        {"b.cfg", ""},
        {"c.cfg", std::string("x\0\r\xE9\x80\xFF", 6)},
        {"d.cfg", TestFixture::everyByte()},
    };
    for (const Case& c : cases) {
        WriteWholeFile(this->files(), this->in(c.name), c.bytes);
        EXPECT_EQ(this->h.stored(this->in(c.name)), c.bytes) << c.name;
    }
    // Nothing else: the file that is written first and then moved into place is gone.
    EXPECT_EQ(this->names(), (std::vector<std::string>{"a.cfg", "b.cfg", "c.cfg", "d.cfg"}));
}

TYPED_TEST_P(TextFilesContract, ReplacingLeavesNoTailOfTheOldContent) {
    const std::string path = this->in("Player.cfg");
    this->h.plant(path, std::string(5000, 'x') + "\r\nold tail\r\n");
    WriteWholeFile(this->files(), path, "short\r\n");
    EXPECT_EQ(this->h.stored(path), "short\r\n");
    WriteWholeFile(this->files(), path, "");
    EXPECT_EQ(this->h.stored(path), "");
    WriteWholeFile(this->files(), path, "again");
    EXPECT_EQ(this->files().readAll(path), "again");
    EXPECT_EQ(this->names(), std::vector<std::string>{"player.cfg"});
}

TYPED_TEST_P(TextFilesContract, FailedWriteRaisesAndLeavesEverythingAsItWas) {
    this->h.plant(this->in("ReadOnly.cfg"), "read-only content");
    this->h.makeReadOnly(this->in("ReadOnly.cfg"));
    this->h.plant(this->in("Locked.cfg"), "locked content");
    this->h.lock(this->in("Locked.cfg"));
    const std::string folder = this->h.makeFolder("Profile.cfg");
    const auto before = this->names();

    struct Case {
        std::string path;
        int number;
        std::optional<std::string> left;  // what the target holds afterwards
    };
    const Case cases[] = {
        {this->in("Missing\\Player.cfg"), err::kPathNotFound, std::nullopt},
        {folder, err::kPathFileAccess, std::nullopt},
        {this->in("ReadOnly.cfg"), err::kPathFileAccess, "read-only content"},
        {this->in("Locked.cfg"), err::kPermissionDenied, "locked content"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(this->raised([&] { WriteWholeFile(this->files(), c.path, "new content"); }),
                  c.number)
            << c.path;
    }
    EXPECT_EQ(this->names(), before);
    this->h.unlock(this->in("Locked.cfg"));
    for (const Case& c : cases) {
        if (c.left) {
            EXPECT_EQ(this->h.stored(c.path), c.left) << c.path;
        }
    }
    // The folder is still a folder.
    WriteWholeFile(this->files(), folder + "\\Inner.cfg", "inside");
    EXPECT_EQ(this->h.stored(folder + "\\Inner.cfg"), "inside");
}

REGISTER_TYPED_TEST_SUITE_P(TextFilesContract, ReadAllGivesTheBytesExactlyAsStored,
                            MissingFileOrFolderRaisesItsOwnNumber,
                            FoldersAndLockedFilesRefuseReading, BadNamesAreRefusedAndNeverCutShort,
                            WritingANewFileStoresExactlyTheBytes,
                            ReplacingLeavesNoTailOfTheOldContent,
                            FailedWriteRaisesAndLeavesEverythingAsItWas);

}  // namespace rk::contract
