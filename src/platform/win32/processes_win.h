// Processes on kernel32, and where this copy runs from.
#pragma once

#include "platform/platform.h"
#include "platform/processes.h"

namespace rk::win {

class Win32Processes final : public Processes {
  public:
    void raisePriority() override;
    void start(const LaunchCommand& command) override;
    ProcessId currentProcess() override;
    bool terminate(ProcessId process) override;
};

// Folder and name of this executable and its command line, as the core wants them.
ProcessInfo currentProcessInfo();

// The pieces of currentProcessInfo(), apart so that they can be tested on any path.
std::string folderOf(std::string_view modulePath);
std::string exeNameOf(std::string_view modulePath);

}  // namespace rk::win
