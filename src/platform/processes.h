// Process priority, starting programs and ending a process.
#pragma once

#include <string>

#include "platform/types.h"

namespace rk {

struct LaunchCommand {
    // Full path of the program to run; empty means the command line's first word is looked
    // up on the search path.
    std::string application;
    // The whole command line as the new process sees it, program name included.
    std::string commandLine;
    ShowCommand show = ShowCommand::Normal;
};

class Processes {
  public:
    virtual ~Processes() = default;
    // Highest thread priority in a high-priority process; failures are ignored.
    virtual void raisePriority() = 0;
    // Does not wait. Raises RaidError when the program cannot be started.
    virtual void start(const LaunchCommand& command) = 0;
    virtual ProcessId currentProcess() = 0;
    virtual bool terminate(ProcessId process) = 0;
};

}  // namespace rk
