#include "profile/profile_editor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "fake_file_dialogs.h"
#include "fake_text_files.h"

namespace rk {
namespace {

// Golden profiles: what the game stores and what the write-back must store, byte for byte.
#ifdef RAIDKIT_UNIT_DATA
const std::filesystem::path kGoldenDir = std::filesystem::path(RAIDKIT_UNIT_DATA) / "profile";
#else
const std::filesystem::path kGoldenDir =
    std::filesystem::path(__FILE__).parent_path() / "data" / "profile";
#endif

std::string golden(std::string_view name) {
    std::ifstream in(kGoldenDir / name, std::ios::binary);
    if (!in)
        throw std::runtime_error("missing golden file " + (kGoldenDir / name).string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::string kProfiles = "E:\\Program Files\\Halvane\\Ironveil\\Ironveil\\Profile\\";

std::string openError(std::string_view description) {
    return "An error occured:'" + std::string(description) +
           "'\r\nMake sure this is a valid config file.";
}
std::string saveError(std::string_view description) {
    return "An error occured:'" + std::string(description) + "'\r\nThe profile was not changed.";
}

// The editor with the game's profile folder on a 1252 system.
struct Nickname {
    // Puts the golden file into the profile folder and opens it through the dialog.
    ProfileOutcome openGolden(std::string_view name) {
        files.addFile(kProfiles + std::string(name), golden(name));
        return openPath(kProfiles + std::string(name));
    }
    ProfileOutcome openPath(std::string path) {
        dialogs.willAnswer(std::move(path));
        return editor.Open_profile(dialogs, files, codePage, kProfiles);
    }
    std::optional<std::string> ok(std::string_view text2) {
        return editor.SetNickName(text2, files, codePage);
    }
    std::string stored(std::string_view name) const {
        return files.contents(kProfiles + std::string(name)).value_or("<no file>");
    }

    FakeTextFiles files;
    Windows1252 codePage;
    FakeFileDialogs dialogs;
    ProfileEditor editor;
};

TEST(NicknameEditor, OpensTheDialogOnTheGivenProfileFolder) {
    Nickname n;
    n.openGolden("player70_bob.cfg");

    ASSERT_EQ(n.dialogs.opened.size(), 1u);
    const auto& shown = n.dialogs.opened[0];
    EXPECT_EQ(shown.kind, FakeFileDialogs::Kind::Open);
    EXPECT_EQ(shown.options.title, "Look for your profile");
    EXPECT_EQ(shown.options.fileName, "Player.cfg");
    EXPECT_EQ(shown.options.initialFolder, kProfiles);
    ASSERT_EQ(shown.options.filters.size(), 1u);
    EXPECT_EQ(shown.options.filters[0].caption, "All profiles");
    EXPECT_EQ(shown.options.filters[0].pattern, "*.cfg");
}

TEST(NicknameEditor, WriteBackChangesOnlyTheNameLine) {
    struct Case {
        std::string profile;
        std::string shown;
        std::string typed;
        std::string expected;
    };
    const Case cases[] = {
        {"player70_bob.cfg", "Bob", "Ann", "player70_ann.cfg"},
        {"player70_bob_cr.cfg", "Bob", "Ann", "player70_ann.cfg"},  // CR read, CR LF written
        {"name_empty.cfg", "", "Ann", "player70_ann.cfg"},          // nine-character name line
        {"long250_bob.cfg", "Bob", "Ann", "long250_ann.cfg"},
        {"gaps_bob.cfg", "Bob", "Ann", "gaps_ann.cfg"},
        {"player70_bob.cfg", "Bob", "Ann \"Axe\"", "player70_quote.cfg"},  // as typed
        {"cp1252_zoe.cfg", "Zo\u00EB", "Ren\u00E9e", "cp1252_renee.cfg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.profile + " -> " + c.typed);
        Nickname n;
        ProfileOutcome opened = n.openGolden(c.profile);
        EXPECT_EQ(opened.message, std::nullopt);
        EXPECT_EQ(opened.text2, c.shown);

        EXPECT_EQ(n.ok(c.typed), std::nullopt);
        EXPECT_EQ(n.stored(c.profile), golden(c.expected));

        EXPECT_EQ(n.openPath(kProfiles + c.profile).text2, c.typed);
    }
}

TEST(NicknameEditor, FileThatIsNoProfileIsToldAndTheOpenedOneStaysTheTarget) {
    struct Case {
        std::string profile;  // empty: a name the dialog returns although no such file exists
        std::string message;
    };
    const Case cases[] = {
        {"first_line_empty.cfg", "Not a valid profile config."},
        {"", "Not a valid profile config."},
        {"short30.cfg", openError("The profile has no line 64 to hold the name.")},
        {"lone_lf.cfg", openError("The profile has no line 64 to hold the name.")},
        {"name_short.cfg", openError("Line 64 is too short to be the name line.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.profile);
        Nickname n;
        n.openGolden("player70_bob.cfg");

        ProfileOutcome bad =
            c.profile.empty() ? n.openPath(kProfiles + "Missing.cfg") : n.openGolden(c.profile);
        EXPECT_EQ(bad.text2, std::nullopt);
        EXPECT_EQ(bad.message, c.message);
        EXPECT_EQ(n.editor.ProfilePath(), kProfiles + "player70_bob.cfg");

        EXPECT_EQ(n.ok("Ann"), std::nullopt);
        EXPECT_EQ(n.stored("player70_bob.cfg"), golden("player70_ann.cfg"));
        if (!c.profile.empty()) {
            EXPECT_EQ(n.stored(c.profile), golden(c.profile));
        }
        EXPECT_EQ(n.files.fileCount(), c.profile.empty() ? 1u : 2u);
    }
}

TEST(NicknameEditor, ShorterProfileAfterLongerOneWritesOnlyItsOwnLines) {
    Nickname n;
    n.openGolden("long250_bob.cfg");
    n.openGolden("player70_bob.cfg");

    EXPECT_EQ(n.ok("Ann"), std::nullopt);

    EXPECT_EQ(n.stored("player70_bob.cfg"), golden("player70_ann.cfg"));
    EXPECT_EQ(n.stored("long250_bob.cfg"), golden("long250_bob.cfg"));
}

TEST(NicknameEditor, CancelledDialogLoadsNothingAndKeepsTheTarget) {
    Nickname n;
    n.files.addFile("Player.cfg", golden("player70_bob.cfg"));  // in whatever the current folder is
    n.openGolden("long250_bob.cfg");
    n.dialogs.willAnswer(std::nullopt);

    ProfileOutcome cancelled = n.editor.Open_profile(n.dialogs, n.files, n.codePage, kProfiles);

    EXPECT_EQ(cancelled.text2, std::nullopt);
    EXPECT_EQ(cancelled.message, std::nullopt);
    EXPECT_EQ(n.ok("Ann"), std::nullopt);
    EXPECT_EQ(n.stored("long250_bob.cfg"), golden("long250_ann.cfg"));
    EXPECT_EQ(n.files.contents("Player.cfg"), golden("player70_bob.cfg"));
}

TEST(NicknameEditor, OkBeforeAnyProfileWritesNothing) {
    Nickname n;
    n.files.addFile("Player.cfg", golden("player70_bob.cfg"));

    EXPECT_EQ(n.ok("Ann"), std::nullopt);

    EXPECT_EQ(n.files.fileCount(), 1u);
    EXPECT_EQ(n.files.contents("Player.cfg"), golden("player70_bob.cfg"));
}

TEST(NicknameEditor, DialogThatFailsIsToldWithItsDescription) {
    Nickname n;
    n.dialogs.willFail("The file name is not valid.");

    ProfileOutcome failed = n.editor.Open_profile(n.dialogs, n.files, n.codePage, kProfiles);

    EXPECT_EQ(failed.text2, std::nullopt);
    EXPECT_EQ(failed.message, openError("The file name is not valid."));
}

TEST(NicknameEditor, NicknameTheProfileCannotHoldIsRefusedAndTheFileKept) {
    struct Case {
        std::string typed;
        std::string message;
    };
    const Case cases[] = {
        {"Ann\u2713", saveError("The nickname holds characters that a profile cannot store.")},
        {"Ann\u4E00", saveError("The nickname holds characters that a profile cannot store.")},
        {"Ann\r\nBob", saveError("A nickname cannot hold a line break.")},
        {"Ann\nBob", saveError("A nickname cannot hold a line break.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Nickname n;
        n.openGolden("player70_bob.cfg");

        EXPECT_EQ(n.ok(c.typed), c.message);
        EXPECT_EQ(n.stored("player70_bob.cfg"), golden("player70_bob.cfg"));
    }
}

TEST(NicknameEditor, FailedWriteIsToldAndLeavesTheProfileAsItWas) {
    Nickname n;
    n.openGolden("player70_bob.cfg");
    n.files.denyWrites(kProfiles + "player70_bob.cfg");

    EXPECT_EQ(n.ok("Ann"), saveError(kProfiles + "player70_bob.cfg: Path/File access error"));
    EXPECT_EQ(n.stored("player70_bob.cfg"), golden("player70_bob.cfg"));
}

}  // namespace
}  // namespace rk

namespace rk {
namespace {

// The game rewrites its profile while it runs; "&OK" must not undo that.
TEST(NicknameEditor, OkKeepsWhatTheGameChangedSinceTheProfileWasOpened) {
    Nickname n;
    n.openGolden("player70_bob.cfg");
    auto changedFirstLine = [](std::string text) {
        return text.insert(text.find("\r\n"), " // sensitivity 3.5");
    };
    n.files.addFile(kProfiles + "player70_bob.cfg", changedFirstLine(golden("player70_bob.cfg")));
    EXPECT_EQ(n.ok("Ann"), std::nullopt);
    EXPECT_EQ(n.stored("player70_bob.cfg"), changedFirstLine(golden("player70_ann.cfg")));
}

TEST(NicknameEditor, OkOnAProfileThatChangedForTheWorseIsToldAndWritesNothing) {
    {
        Nickname n;
        n.openGolden("player70_bob.cfg");
        n.files.addFile(kProfiles + "player70_bob.cfg", golden("short30.cfg"));
        EXPECT_EQ(n.ok("Ann"), saveError("The file is no longer a valid profile."));
        EXPECT_EQ(n.stored("player70_bob.cfg"), golden("short30.cfg"));
    }
}

// A profile that cannot be read again at "&OK" is told with the reason, not as one that is no
// longer a profile.
TEST(NicknameEditor, OkOnAProfileThatCannotBeReadTellsWhy) {
    const std::string path = kProfiles + "player70_bob.cfg";
    const struct {
        void (FakeTextFiles::*fault)(std::string_view);
        std::string reason;
    } cases[] = {
        {&FakeTextFiles::denyReads, path + ": Path/File access error"},
        {&FakeTextFiles::lock, path + ": Permission denied"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        Nickname n;
        n.openGolden("player70_bob.cfg");
        (n.files.*c.fault)(path);
        EXPECT_EQ(n.ok("Ann"), saveError(c.reason));
        n.files.allow(path);
        EXPECT_EQ(n.stored("player70_bob.cfg"), golden("player70_bob.cfg"));
    }
}

}  // namespace
}  // namespace rk
