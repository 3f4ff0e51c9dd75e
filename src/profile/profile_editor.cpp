#include "profile/profile_editor.h"

#include "game/game.h"
#include "platform/error.h"

namespace rk {

namespace {

// '"name" "' before the nickname, '"' after it.
constexpr std::string_view kNameLineStart = "\"name\" \"";
constexpr std::size_t kFixedCharacters = 9;

// The wording, spelling included, is the one players know from the game's own tools.
std::string openError(std::string_view description) {
    return "An error occured:'" + std::string(description) +
           "'\r\nMake sure this is a valid config file.";
}

std::string saveError(std::string_view description) {
    return "An error occured:'" + std::string(description) + "'\r\nThe profile was not changed.";
}

bool startsCharacter(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

// The name line's ninth character up to the one before its last, counted in characters (not
// UTF-8 bytes); the line's shape is not checked. nullopt when it has fewer than nine characters.
std::optional<std::string> nicknameOf(std::string_view line) {
    std::size_t characters = 0;
    std::size_t nickStart = 0;
    std::size_t lastStart = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (!startsCharacter(line[i]))
            continue;
        if (characters == kNameLineStart.size())
            nickStart = i;
        lastStart = i;
        ++characters;
    }
    if (characters < kFixedCharacters)
        return std::nullopt;
    return std::string(line.substr(nickStart, lastStart - nickStart));
}

// The reason a file is no profile, as the player is told it; nullopt for a profile, whose
// nickname then goes to nick.
std::optional<std::string> checkProfile(const FileLines& lines, AnsiCodePage& codePage,
                                        std::optional<std::string>& nick) {
    if (lines.empty() || lines.front().empty())
        return "Not a valid profile config.";
    if (lines.size() < kNameLine)
        return openError("The profile has no line 64 to hold the name.");
    nick = nicknameOf(codePage.toUtf8(lines[kNameLine - 1]));
    if (!nick)
        return openError("Line 64 is too short to be the name line.");
    return std::nullopt;
}

}  // namespace

FileDialogOptions profileDialogOptions(std::string_view profileFolder) {
    return {
        .title = "Look for your profile",
        .fileName = std::string(kDefaultProfileName),
        .initialFolder = std::string(profileFolder),
        .filters = {{"All profiles", std::string(kProfilePattern)}},
    };
}

ProfileOutcome ProfileEditor::Open_profile(FileDialogs& dialogs, TextFiles& files,
                                           AnsiCodePage& codePage, std::string_view profileFolder) {
    try {
        std::optional<std::string> path = dialogs.openFile(profileDialogOptions(profileFolder));
        // Loading the preset name from wherever the current folder is would pick up a stranger's
        // file, and "&OK" could then write into it.
        if (!path)
            return {};

        FileLines lines = LoadLines(files, *path);
        std::optional<std::string> nick;
        if (auto refusal = checkProfile(lines, codePage, nick))
            return {.message = std::move(*refusal)};
        profilePath_ = std::move(*path);
        profileLines_ = std::move(lines);
        profileNick_ = std::move(*nick);
        return {.text2 = profileNick_};
    } catch (const RaidError& e) {
        return {.message = openError(e.description())};
    }
}

std::optional<std::string> ProfileEditor::SetNickName(std::string_view text2, TextFiles& files,
                                                      AnsiCodePage& codePage) {
    if (profilePath_.empty())
        return std::nullopt;  // nothing opened yet: there is no file to write
    // A line break would split the name line and move every line after it.
    if (text2.find_first_of("\r\n") != std::string_view::npos)
        return saveError("A nickname cannot hold a line break.");
    std::optional<std::string> nick = codePage.fromUtf8(text2);
    if (!nick)
        return saveError("The nickname holds characters that a profile cannot store.");

    // The game may have rewritten its profile since it was opened: its lines as they are now
    // are the ones kept, so that only the name changes and none of the game's changes is undone.
    // Read directly, not through the quiet LoadLines: a file held open by another program
    // must say so, not pass for one that is no longer a profile.
    FileLines lines;
    try {
        lines = SplitLines(files.readAll(profilePath_));
    } catch (const RaidError& e) {
        return saveError(e.description());
    }
    std::optional<std::string> current;
    if (checkProfile(lines, codePage, current))
        return saveError("The file is no longer a valid profile.");

    // Only the name line changes: empty lines and lines past any count keep their places.
    lines[kNameLine - 1] = std::string(kNameLineStart) + *nick + '"';
    if (std::optional<std::string> failure = SaveText(files, profilePath_, JoinLines(lines)))
        return saveError(*failure);
    profileLines_ = std::move(lines);
    profileNick_ = std::string(text2);
    return std::nullopt;
}

}  // namespace rk
