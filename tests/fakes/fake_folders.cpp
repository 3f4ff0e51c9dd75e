#include "fake_folders.h"

namespace rk {

std::string FakeFolders::knownFolder(KnownFolder folder) {
    if (fault(Call::KnownFolder))
        return {};
    auto found = known.find(folder);
    return found == known.end() ? std::string() : found->second;
}

bool FakeFolders::canCreateFileIn(std::string_view folder) {
    probed.emplace_back(folder);
    if (fault(Call::FolderProbe))
        return false;
    return files_.takesFiles(folder);
}

bool FakeFolders::createFolder(std::string_view path) {
    if (fault(Call::FolderCreate) || path.empty())
        return false;
    // Each missing folder along the path is made in a parent that takes new entries.
    for (std::size_t slash = path.find('\\');; slash = path.find('\\', slash + 1)) {
        const std::string_view part = path.substr(0, slash);
        if (files_.file(part) != nullptr)
            return false;  // a file of that name is in the way
        if (!files_.isFolder(part)) {
            const std::size_t up = part.find_last_of('\\');
            if (up == std::string_view::npos || !files_.takesFiles(part.substr(0, up)))
                return false;
            files_.addFolder(part);
        }
        if (slash == std::string_view::npos)
            return true;
    }
}

}  // namespace rk
