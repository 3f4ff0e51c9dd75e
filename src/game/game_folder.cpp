#include "game/game_folder.h"

#include <cctype>

namespace rk {

namespace {

std::string join(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    path += name;
    return path;
}

bool sameIgnoringCase(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
}

// True when path lies inside folder (not the folder itself), compared as Windows compares
// paths, without regard to case.
bool isInside(std::string_view path, std::string_view folder) {
    if (folder.empty() || path.size() <= folder.size() + 1 || path[folder.size()] != '\\')
        return false;
    for (std::size_t i = 0; i < folder.size(); ++i) {
        if (!sameIgnoringCase(path[i], folder[i]))
            return false;
    }
    return true;
}

bool hasDrive(std::string_view path) {
    return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
           path[1] == ':' && path[2] == '\\';
}

}  // namespace

std::string classicGameFolder(std::string_view programFolder) {
    std::string drive = programFolder.empty() ? std::string() : std::string(1, programFolder[0]);
    return drive + ":\\Program Files\\" + std::string(kGameInstallPath);
}

std::string findGameFolder(Folders& folders, std::string_view programFolder) {
    if (!programFolder.empty() && folders.isFolder(join(programFolder, kProfileFolderName)))
        return std::string(programFolder);
    const std::string classic = classicGameFolder(programFolder);
    if (folders.isFolder(classic))
        return classic;
    const std::string x86 = folders.knownFolder(KnownFolder::ProgramFilesX86);
    if (!x86.empty()) {
        std::string installed = join(x86, kGameInstallPath);
        if (folders.isFolder(installed))
            return installed;
    }
    return classic;
}

ScreenshotDefault defaultScreenshotPrefix(Folders& folders, std::string_view gameFolder) {
    if (folders.canCreateFileIn(gameFolder))
        return {join(gameFolder, kScreenshotStem), ""};
    const std::string pictures = folders.knownFolder(KnownFolder::Pictures);
    // Without a Pictures folder there is nowhere better: the game's folder it stays.
    if (pictures.empty())
        return {join(gameFolder, kScreenshotStem), ""};
    std::string folder = join(pictures, kPicturesSubfolder);
    return {join(folder, kScreenshotStem), folder};
}

std::string virtualStoreCopy(Folders& folders, std::string_view path) {
    if (!hasDrive(path))
        return {};
    const std::string local = folders.knownFolder(KnownFolder::LocalAppData);
    if (local.empty())
        return {};
    return join(join(local, "VirtualStore"), path.substr(3));
}

std::string profileFolder(Folders& folders, std::string_view gameFolder) {
    const std::string profiles = join(gameFolder, kProfileFolderName);
    const bool redirected = isInside(gameFolder, folders.knownFolder(KnownFolder::ProgramFiles)) ||
                            isInside(gameFolder, folders.knownFolder(KnownFolder::ProgramFilesX86));
    if (redirected) {
        const std::string copy = virtualStoreCopy(folders, profiles);
        if (!copy.empty() && folders.isFolder(copy))
            return copy + '\\';
    }
    return profiles + '\\';
}

}  // namespace rk
