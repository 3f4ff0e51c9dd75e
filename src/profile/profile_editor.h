// The "Quick Change Nickname" frame's logic: open a game profile, show its nickname, write a new
// one back. Form1 calls it with Text2's text and shows what comes back.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_dialogs.h"
#include "platform/text_files.h"
#include "profile/save_n_open.h"

namespace rk {

// The nickname sits on this line of every profile, between fixed characters.
constexpr std::size_t kNameLine = 64;
inline constexpr std::string_view kProfileBoxTitle = "Error";

// What a click leaves for the window to show.
struct ProfileOutcome {
    std::optional<std::string> text2 = std::nullopt;    // Text2's new text
    std::optional<std::string> message = std::nullopt;  // a box titled "Error", error icon
};

// The open dialog of "&Open Player Profile", opening in the game's profile folder.
FileDialogOptions profileDialogOptions(std::string_view profileFolder);

class ProfileEditor {
  public:
    // Click of "&Open Player Profile". A cancelled dialog changes nothing.
    ProfileOutcome Open_profile(FileDialogs& dialogs, TextFiles& files, AnsiCodePage& codePage,
                                std::string_view profileFolder);
    // Click of "&OK" with Text2's current text: rewrites the opened profile, as the file holds
    // it now, with only its name line changed. nullopt when there is nothing to tell.
    std::optional<std::string> SetNickName(std::string_view text2, TextFiles& files,
                                           AnsiCodePage& codePage);

    // Path and lines are taken over together, only from a profile that opened completely, so
    // "&OK" never writes one file's lines into another.
    const std::string& ProfilePath() const { return profilePath_; }
    const FileLines& ProfileLines() const { return profileLines_; }
    const std::string& ProfileNick() const { return profileNick_; }

  private:
    std::string profilePath_;
    FileLines profileLines_;
    std::string profileNick_;
};

}  // namespace rk
