// Folders over the fake file system that the screenshot files live in, so that a folder made
// here is one a shot can be stored in; known folders are set by the test.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "fake_capture_files.h"
#include "platform/folders.h"

namespace rk {

class FakeFolders : public Folders, public Faultable {
  public:
    explicit FakeFolders(FakeCaptureFiles& files) : files_(files) {}

    std::string knownFolder(KnownFolder folder) override;
    bool isFolder(std::string_view path) override {
        return !fault(Call::FileLookUp) && files_.isFolder(path);
    }
    bool canCreateFileIn(std::string_view folder) override;
    bool createFolder(std::string_view path) override;

    // As a 64-bit Windows lays them out for the player "Ann"; a test may change or clear them.
    std::map<KnownFolder, std::string> known = {
        {KnownFolder::ProgramFiles, "C:\\Program Files"},
        {KnownFolder::ProgramFilesX86, "C:\\Program Files (x86)"},
        {KnownFolder::Pictures, "C:\\Users\\Ann\\Pictures"},
        {KnownFolder::LocalAppData, "C:\\Users\\Ann\\AppData\\Local"},
    };
    // Every folder a write was tried in, to see that the check leaves nothing behind.
    std::vector<std::string> probed;

  private:
    FakeCaptureFiles& files_;
};

}  // namespace rk
