// Profile files of any bytes (CR, CR LF and lone LF line ends, NULs, hundreds of lines, lines of
// any length) opened in the nickname editor, perhaps rewritten by the game meanwhile, and given
// a new nickname. The outcome is checked against a reading of the file made here.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fake_file_dialogs.h"
#include "fake_text_files.h"
#include "fuzz_check.h"
#include "profile/profile_editor.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kFolder = "C:\\Games\\Ironveil\\Profile";
const std::string kPaths[] = {kFolder + "\\Player.cfg", kFolder + "\\Other.cfg"};

// A carriage return, or one followed by a line feed, ends a line; a lone line feed is part of
// it. Whatever follows the last line end is the last line.
Lines linesOf(std::string_view bytes) {
    Lines lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r') {
            line += bytes[i];
            continue;
        }
        lines.push_back(std::move(line));
        line.clear();
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

// Line 1 not empty, a line 64 of at least nine characters (one byte each in 1252).
bool isProfile(const Lines& lines) {
    return !lines.empty() && !lines[0].empty() && lines.size() >= 64 && lines[63].size() >= 9;
}

// A file made of lines with mixed line ends, or plain bytes.
std::string profileBytes(FuzzedDataProvider& in) {
    const std::uint8_t shape = in.ConsumeIntegral<std::uint8_t>();
    if (shape & 1)
        return in.ConsumeRandomLengthString(20000);
    const int count = in.ConsumeIntegralInRange(0, 320);
    std::string bytes;
    for (int n = 1; n <= count; ++n) {
        std::string line = in.ConsumeRandomLengthString(60);
        if (n == 1 && (shape & 2) && line.empty())
            line = "// Ironveil profile";
        if (n == 64 && (shape & 4))
            line = "\"name\" \"" + line + "\"";
        bytes += line;
        switch (in.ConsumeIntegralInRange(0, 3)) {
            case 0:
                bytes += "\r\n";
                break;
            case 1:
                bytes += "\r";
                break;
            case 2:
                bytes += "\n";  // no line end: the line goes on
                break;
            default:
                if (n < count || (shape & 8))
                    bytes += "\r\n";
        }
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::uint8_t plan = in.ConsumeIntegral<std::uint8_t>();
    const bool second = plan & 1;      // a second file is opened after the first
    const bool cancel = plan & 2;      // ... or the dialog is cancelled instead
    const bool gameWrites = plan & 4;  // the game rewrites the file before "&OK"
    const bool nickAs1252 = plan & 8;  // a nickname made of characters the code page has

    rk::FakeTextFiles files;
    rk::Windows1252 codePage;
    rk::FakeFileDialogs dialogs;
    rk::ProfileEditor editor;

    std::string contents[2] = {profileBytes(in), profileBytes(in)};
    const std::string rewrite = gameWrites ? profileBytes(in) : std::string();
    std::string nick = in.ConsumeRandomLengthString(80);
    if (nickAs1252)
        nick = codePage.toUtf8(nick);
    for (int f = 0; f < 2; ++f) files.addFile(kPaths[f], contents[f]);

    // Open the first file, then perhaps the second (or cancel): the target is the last one
    // that opened as a profile.
    std::optional<int> target;
    for (int f = 0; f < (second || cancel ? 2 : 1); ++f) {
        const bool cancelled = f == 1 && cancel;
        dialogs.willAnswer(cancelled ? std::nullopt : std::optional<std::string>(kPaths[f]));
        const rk::ProfileOutcome opened = editor.Open_profile(dialogs, files, codePage, kFolder);
        const Lines lines = linesOf(contents[f]);
        if (cancelled) {
            FUZZ_CHECK(!opened.text2 && !opened.message, "a cancelled dialog told something");
        } else if (isProfile(lines)) {
            const std::string& name = lines[63];
            const std::string shown = codePage.toUtf8(name.substr(8, name.size() - 9));
            FUZZ_CHECK(!opened.message, "a profile was refused: " << *opened.message);
            FUZZ_CHECK(opened.text2 == shown, "nickname "
                                                  << rk::fuzz::shown(opened.text2.value_or(""))
                                                  << ", expected " << rk::fuzz::shown(shown));
            target = f;
        } else {
            FUZZ_CHECK(opened.message && !opened.text2,
                       "no profile (" << lines.size() << " lines) was opened without a message");
        }
    }

    const int changed = target.value_or(0);
    if (gameWrites) {
        files.addFile(kPaths[changed], rewrite);
        contents[changed] = rewrite;
    }

    const std::optional<std::string> told = editor.SetNickName(nick, files, codePage);

    const Lines lines = linesOf(contents[changed]);
    const std::optional<std::string> stored = codePage.fromUtf8(nick);
    const bool writes =
        target && nick.find_first_of("\r\n") == std::string::npos && stored && isProfile(lines);
    for (int f = 0; f < 2; ++f) {
        const std::string now = files.contents(kPaths[f]).value_or("<gone>");
        if (writes && f == *target)
            continue;
        FUZZ_CHECK(now == contents[f],
                   "file " << f << " was written although "
                           << (target ? "it was not the opened profile" : "no profile was opened")
                           << (told ? ": " + *told : ""));
    }
    FUZZ_CHECK(files.fileCount() == 2, "files left behind: " << files.fileCount());
    if (!target) {
        FUZZ_CHECK(!told, "\"&OK\" without a profile told " << *told);
        return 0;
    }
    if (!writes) {
        FUZZ_CHECK(told, "a nickname that cannot be written was taken silently: "
                             << rk::fuzz::shown(nick));
        return 0;
    }

    FUZZ_CHECK(!told, "the write-back failed: " << *told);
    const std::string now = *files.contents(kPaths[*target]);
    const Lines written = linesOf(now);
    FUZZ_CHECK(written.size() == lines.size(),
               "the file had " << lines.size() << " lines, now " << written.size());
    for (std::size_t n = 0; n < lines.size(); ++n) {
        if (n != 63) {
            FUZZ_CHECK(written[n] == lines[n], "line " << n + 1 << " changed from "
                                                       << rk::fuzz::shown(lines[n]) << " to "
                                                       << rk::fuzz::shown(written[n]));
        }
    }
    FUZZ_CHECK(written[63] == "\"name\" \"" + *stored + "\"",
               "name line " << rk::fuzz::shown(written[63]));
    std::string expected;
    for (const std::string& line : written) expected += line + "\r\n";
    FUZZ_CHECK(now == expected, "not every line ends with CR LF: " << rk::fuzz::shown(now));

    // Opened again, the file shows the nickname as typed.
    dialogs.willAnswer(kPaths[*target]);
    const rk::ProfileOutcome again = editor.Open_profile(dialogs, files, codePage, kFolder);
    FUZZ_CHECK(again.text2 == codePage.toUtf8(*stored),
               "read back " << rk::fuzz::shown(again.text2.value_or("<nothing>")) << " for "
                            << rk::fuzz::shown(nick));
    return 0;
}
