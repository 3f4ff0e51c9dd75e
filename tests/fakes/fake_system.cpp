#include "fake_system.h"

#include <algorithm>
#include <cctype>

#include "platform/error.h"
#include "platform/file_errors.h"

namespace rk {

namespace {
std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string imageOf(std::string_view path) {
    auto slash = path.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}
}  // namespace

void FakeProcesses::start(const LaunchCommand& command) {
    // Without a full path the program is the command line's first word, found on the path.
    std::string program = command.application;
    if (program.empty())
        program = command.commandLine.substr(0, command.commandLine.find(' '));
    if (const std::optional<Failure> failure = fault(Call::ProcessStart)) {
        const FileResult result =
            failure == Failure::NotFound ? FileResult::FileNotFound : FileResult::AccessDenied;
        RaiseFileError(
            result, "Cannot start \"" + program + "\": " + std::string(FileErrorOf(result).text));
    }
    if (unstartable.contains(program)) {
        throw RaidError(err::kFileNotFound, "Raidkit", "File not found: " + program);
    }
    started.push_back(command);
    addProcess(imageOf(program));
}

bool FakeProcesses::terminate(ProcessId process) {
    if (fault(Call::ProcessEnd))
        return false;
    if (!table_.erase(process))
        return false;
    windows_.endProcess(process);
    return true;
}

ProcessId FakeProcesses::addProcess(std::string image) {
    ProcessId id = next_++;
    table_[id] = std::move(image);
    return id;
}

bool FakeFiles::isFile(std::string_view path) {
    if (fault(Call::FileLookUp))
        return false;
    return files_.contains(lower(path));
}
void FakeFiles::addFile(std::string_view path) {
    files_.insert(lower(path));
}

void FakeKeyboard::setUp() {
    if (fault(Call::KeyboardSetUp)) {
        // DIERR_OTHERAPPHASPRIO, as the Windows half reports a refused acquisition.
        throw RaidError(err::kAutomation, "DirectInput",
                        "Keyboard device: Acquire failed (0x80070005)");
    }
    if (!present) {
        throw RaidError(err::kDeviceUnavailable, "DirectInput",
                        "The keyboard device is not available");
    }
    acquired = true;
}

bool FakeKeyboard::read(KeyState& out) {
    ++reads;
    if (fault(Call::KeyboardRead))
        acquired = false;  // DIERR_INPUTLOST: the device must be acquired again
    if (!acquired)
        return false;
    out = state;
    return true;
}

void FakeKeyboard::reacquire() {
    if (fault(Call::KeyboardReacquire))
        return;
    if (present)
        acquired = true;
}

void FakeDialogs::messageBox(std::string_view text, std::string_view title, BoxIcon icon) {
    shown.push_back({std::string(text), std::string(title), icon});
    if (whileShown)
        whileShown();
}

FakeShellWindows::FakeShellWindows(FakeWindowSystem& windows, ProcessId self)
    : windows_(windows), self_(self) {
    main_ = windows_.createWindow("Raidkit v2.2 By Velmor", false, self_);
}

void FakeShellWindows::setMainTitle(std::string_view title) {
    if (mainExists())
        windows_.setTitle(main_, std::string(title));
}

std::string FakeShellWindows::mainTitle() {
    return mainExists() ? windows_.titleOf(main_) : "";
}

void FakeShellWindows::showMain() {
    if (mainExists())
        windows_.show(main_, ShowCommand::Normal);
}

void FakeShellWindows::hideMain() {
    if (mainExists())
        windows_.show(main_, ShowCommand::Hide);
}

bool FakeShellWindows::mainVisible() {
    return mainExists() && windows_.window(main_).visible;
}

void FakeShellWindows::closeMain() {
    if (!mainExists())
        return;
    if (onMainDestroyed)
        onMainDestroyed();
    windows_.destroyWindow(main_);
}

void FakeShellWindows::showInfo() {
    if (!infoExists()) {
        info_ = windows_.createWindow("Info", false, self_);
        ++infoWindowsCreated;
    }
    windows_.show(info_, ShowCommand::Normal);
}

void FakeShellWindows::hideInfo() {
    if (infoExists())
        windows_.show(info_, ShowCommand::Hide);
}

bool FakeShellWindows::infoVisible() const {
    return infoExists() && windows_.window(info_).visible;
}

void FakeShellWindows::closeInfo() {
    if (infoExists())
        windows_.destroyWindow(info_);
    info_ = 0;
}

}  // namespace rk
