// Where the game lives on this machine, found once at start-up, and the places that follow from
// it: the default screenshot prefix and the folder the profile dialog opens in.
#pragma once

#include <string>
#include <string_view>

#include "platform/folders.h"

namespace rk {

// The game's folder as its installer lays it out, below a "Program Files" folder.
inline constexpr std::string_view kGameInstallPath = "Halvane\\Ironveil\\Ironveil";
inline constexpr std::string_view kProfileFolderName = "Profile";
inline constexpr std::string_view kScreenshotStem = "ScreenShot";
// Below the player's Pictures, where the game's folder takes no new files.
inline constexpr std::string_view kPicturesSubfolder = "Ironveil";

// <first character of programFolder>:\Program Files\Halvane\Ironveil\Ironveil
std::string classicGameFolder(std::string_view programFolder);

// The first that holds: the program's own folder when it holds the game's Profile folder
// (installed as the game's intro-movie player, the only way a custom install is found); the
// classic folder on the program's drive when it exists; the game below the system's 32-bit
// program folder when it exists; otherwise the classic folder.
std::string findGameFolder(Folders& folders, std::string_view programFolder);

struct ScreenshotDefault {
    std::string prefix;
    // The folder to make before a shot is stored there; "" when it is the game's own.
    std::string folderToMake;
};

// The game's folder + "ScreenShot" when new files may be made there; otherwise
// <Pictures>\Ironveil\ScreenShot, whose folder is made at the first shot that needs it.
ScreenshotDefault defaultScreenshotPrefix(Folders& folders, std::string_view gameFolder);

// The game's Profile folder, with a trailing backslash. A game below a "Program Files" folder
// that is run as an ordinary user has its writes there redirected to the player's
// VirtualStore, and it reads its profiles from there: where that copy exists, it is the one.
std::string profileFolder(Folders& folders, std::string_view gameFolder);

// <LocalAppData>\VirtualStore\<path without its drive>; "" without a drive or LocalAppData.
std::string virtualStoreCopy(Folders& folders, std::string_view path);

}  // namespace rk
