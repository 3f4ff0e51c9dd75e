// Fakes of the smaller interfaces: processes, files, keyboard, boxes and the program's windows.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fake_window_system.h"
#include "fault_plan.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/keyboard.h"
#include "platform/processes.h"
#include "platform/shell_windows.h"

namespace rk {

// A process table. Started programs become processes; applications listed as missing fail.
class FakeProcesses : public Processes, public Faultable {
  public:
    explicit FakeProcesses(FakeWindowSystem& windows) : windows_(windows) {}

    void raisePriority() override {
        if (!fault(Call::Priority))
            priorityRaised = true;
    }
    void start(const LaunchCommand& command) override;
    ProcessId currentProcess() override { return self; }
    bool terminate(ProcessId process) override;

    ProcessId addProcess(std::string image);
    bool running(ProcessId process) const { return table_.contains(process); }

    ProcessId self = 100;
    bool priorityRaised = false;
    std::vector<LaunchCommand> started;
    // Programs that fail to start: full paths, or first words of path-searched command lines.
    std::set<std::string> unstartable;

  private:
    FakeWindowSystem& windows_;
    std::map<ProcessId, std::string> table_;
    ProcessId next_ = 200;
};

// Files by path; paths compare without regard to case, as on Windows.
class FakeFiles : public Files, public Faultable {
  public:
    bool isFile(std::string_view path) override;
    void addFile(std::string_view path);

  private:
    std::set<std::string> files_;
};

// A keyboard with a 256-byte state that can be lost and acquired again.
class FakeKeyboard : public KeyboardDevice, public Faultable {
  public:
    void setUp() override;
    bool read(KeyState& state) override;
    void reacquire() override;
    void unacquire() override { acquired = false; }

    void press(std::uint8_t code) { state[code] = 0x80; }
    void release(std::uint8_t code) { state[code] = 0; }
    void releaseAll() { state.fill(0); }

    KeyState state{};
    bool present = true;  // false: there is no keyboard device to create or acquire
    bool acquired = false;
    int reads = 0;
};

class FakeDialogs : public Dialogs {
  public:
    struct Box {
        std::string text;
        std::string title;
        BoxIcon icon;
    };
    void messageBox(std::string_view text, std::string_view title, BoxIcon icon) override;

    std::vector<Box> shown;
    // Runs while the box is up, as the messages a modal loop pumps would.
    std::function<void()> whileShown;
};

// The program's main and info windows, living in the fake window list so that look-ups by
// title see them as they would see real windows.
class FakeShellWindows : public ShellWindows {
  public:
    FakeShellWindows(FakeWindowSystem& windows, ProcessId self);

    WindowId mainWindow() override { return main_; }
    void setMainTitle(std::string_view title) override;
    std::string mainTitle() override;
    void showMain() override;
    void hideMain() override;
    bool mainVisible() override;
    void closeMain() override;
    void showInfo() override;
    void hideInfo() override;
    void closeInfo() override;

    // What destroying the main window runs (the main window's unload).
    std::function<void()> onMainDestroyed;

    bool mainExists() const { return main_ != 0 && windows_.exists(main_); }
    bool infoVisible() const;
    bool infoExists() const { return info_ != 0 && windows_.exists(info_); }
    int infoWindowsCreated = 0;

  private:
    FakeWindowSystem& windows_;
    ProcessId self_;
    WindowId main_ = 0;
    WindowId info_ = 0;
};

}  // namespace rk
