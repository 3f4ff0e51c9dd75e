// The contract suites against the in-memory fakes, so that core tests run on faithful fakes.
#include <gtest/gtest.h>

#include "ansi_code_page_contract.h"
#include "capture_files_contract.h"
#include "clipboard_contract.h"
#include "fake_capture_files.h"
#include "fake_clipboard.h"
#include "fake_folders.h"
#include "fake_gdi.h"
#include "fake_registry.h"
#include "fake_system.h"
#include "fake_text_files.h"
#include "fake_window_system.h"
#include "files_contract.h"
#include "folders_contract.h"
#include "gdi_contract.h"
#include "registry_contract.h"
#include "text_files_contract.h"
#include "window_system_contract.h"

namespace rk::contract {

class FakeRegistryHarness {
  public:
    Registry& registry() { return registry_; }
    RegRoot root() const { return RegRoot::LocalMachine; }
    std::string scratch() const { return "SOFTWARE\\RaidkitContractTest"; }
    std::string machineScratch() const { return "SOFTWARE\\RaidkitContractTest\\Views"; }
    void plant(std::string_view path, std::string_view name, RegType type,
               std::vector<std::uint8_t> bytes) {
        registry_.put(root(), path, name, type, std::move(bytes));
    }

  private:
    FakeRegistry registry_;
};

class FakeWindowHarness {
  public:
    WindowSystem& windows() { return windows_; }
    WindowId make(const std::string& title, bool visible) {
        return windows_.createWindow(title, visible, kOtherProgram);
    }
    std::string unique(std::string_view base) { return std::string(base); }
    ProcessId ownerOfMade() const { return kOtherProgram; }
    bool exists(WindowId window) { return windows_.exists(window); }
    bool visible(WindowId window) { return windows_.window(window).visible; }
    WindowId foreground() { return windows_.foreground(); }
    void rename(WindowId window, const std::string& title) { windows_.setTitle(window, title); }
    void destroy(WindowId window) { windows_.destroyWindow(window); }
    void pump() {}
    bool announces(WindowChange) { return true; }

  private:
    static constexpr ProcessId kOtherProgram = 4242;
    FakeWindowSystem windows_;
};

class FakeFilesHarness {
  public:
    Files& files() { return files_; }
    std::string makeFile(std::string_view name) {
        const std::string path = missing(name);
        files_.addFile(path);
        return path;
    }
    // The fake knows files only: any other path, a folder's included, is not a file.
    std::string makeFolder(std::string_view name) { return missing(name); }
    std::string missing(std::string_view name) { return "C:\\Shots\\" + std::string(name); }

  private:
    FakeFiles files_;
};

class FakeTextFilesHarness {
  public:
    FakeTextFilesHarness() { files_.addFolder(folder()); }
    TextFiles& files() { return files_; }
    std::string folder() { return "C:\\Profile"; }
    std::string makeFolder(std::string_view name) {
        const std::string path = folder() + "\\" + std::string(name);
        files_.addFolder(path);
        return path;
    }
    void plant(std::string_view path, std::string_view bytes) {
        files_.addFile(path, std::string(bytes));
    }
    std::optional<std::string> stored(std::string_view path) { return files_.contents(path); }
    std::vector<std::string> namesIn(std::string_view folder) { return files_.filesIn(folder); }
    void makeReadOnly(std::string_view path) { files_.denyWrites(path); }
    void lock(std::string_view path) { files_.lock(path); }
    void unlock(std::string_view path) { files_.allow(path); }

  private:
    FakeTextFiles files_;
};

class FakeCodePageHarness {
  public:
    AnsiCodePage& codePage() { return codePage_; }
    bool isWindows1252() { return true; }

  private:
    Windows1252 codePage_;
};

class FakeGdiHarness {
  public:
    Gdi& gdi() { return gdi_; }

  private:
    FakeGdi gdi_;
};

class FakeClipboardHarness {
  public:
    Clipboard& clipboard() { return clipboard_; }
    Gdi& gdi() { return gdi_; }
    void empty() { clipboard_.empty(); }
    void handleNotices() {}  // the fake knows of every change at once

  private:
    FakeGdi gdi_;
    FakeClipboard clipboard_{gdi_};
};

class FakeCaptureFilesHarness {
  public:
    FakeCaptureFilesHarness() { files_.addFolder(folder()); }
    CaptureFiles& files() { return files_; }
    std::string folder() { return "C:\\Shots"; }
    std::string makeFolder(std::string_view name) {
        const std::string path = folder() + "\\" + std::string(name);
        files_.addFolder(path);
        return path;
    }
    void plant(std::string_view path, std::string_view bytes) {
        files_.addFile(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    }
    std::optional<std::string> stored(std::string_view path) {
        const FakeCaptureFiles::File* file = files_.file(path);
        if (!file)
            return std::nullopt;
        return std::string(file->bytes.begin(), file->bytes.end());
    }
    std::vector<std::string> namesIn(std::string_view folder) { return files_.filesIn(folder); }
    bool keepsCreationTimes() { return true; }

  private:
    FakeCaptureFiles files_;
};

class FakeFoldersHarness {
  public:
    FakeFoldersHarness() { files_.addFolder("C:\\Base"); }
    Folders& folders() { return folders_; }
    std::string makeFolder(std::string_view name) {
        files_.addFolder(missing(name));
        return missing(name);
    }
    std::string makeFile(std::string_view name) {
        files_.addFile(missing(name));
        return missing(name);
    }
    std::string missing(std::string_view name) { return "C:\\Base\\" + std::string(name); }
    std::vector<std::string> namesIn(std::string_view folder) { return files_.filesIn(folder); }

  private:
    FakeCaptureFiles files_;
    FakeFolders folders_{files_};
};

using FakeRegistries = ::testing::Types<FakeRegistryHarness>;
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, RegistryContract, FakeRegistries);
using FakeWindowSystems = ::testing::Types<FakeWindowHarness>;
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, WindowSystemContract, FakeWindowSystems);
using FakeFileSystems = ::testing::Types<FakeFilesHarness>;
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, FilesContract, FakeFileSystems);
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, FoldersContract, ::testing::Types<FakeFoldersHarness>);
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, TextFilesContract, ::testing::Types<FakeTextFilesHarness>);
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, AnsiCodePageContract, ::testing::Types<FakeCodePageHarness>);
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, GdiContract, ::testing::Types<FakeGdiHarness>);
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, ClipboardContract, ::testing::Types<FakeClipboardHarness>);
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, CaptureFilesContract,
                               ::testing::Types<FakeCaptureFilesHarness>);

}  // namespace rk::contract
