// The contract suites against the in-memory fakes, so that core tests run on faithful fakes.
#include <gtest/gtest.h>

#include "fake_registry.h"
#include "fake_system.h"
#include "fake_window_system.h"
#include "files_contract.h"
#include "registry_contract.h"
#include "window_system_contract.h"

namespace rk::contract {

class FakeRegistryHarness {
  public:
    Registry& registry() { return registry_; }
    RegRoot root() const { return RegRoot::LocalMachine; }
    std::string scratch() const { return "SOFTWARE\\RaidkitContractTest"; }
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

using FakeRegistries = ::testing::Types<FakeRegistryHarness>;
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, RegistryContract, FakeRegistries);
using FakeWindowSystems = ::testing::Types<FakeWindowHarness>;
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, WindowSystemContract, FakeWindowSystems);
using FakeFileSystems = ::testing::Types<FakeFilesHarness>;
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, FilesContract, FakeFileSystems);

}  // namespace rk::contract
