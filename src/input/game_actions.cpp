#include "input/game_actions.h"

#include <optional>
#include <string>

#include "game/game.h"
#include "game/game_window.h"
#include "platform/error.h"
#include "platform/file_errors.h"
#include "text/command_line.h"

namespace rk {

LaunchCommand killerCommand(std::string_view folder) {
    std::string program = std::string(folder) + "\\Kill.exe";
    return {program, quotedPath(program) + " -f " + std::string(kGameProcessName),
            ShowCommand::Hide};
}

void freezeEscape(FreezeEscapePlatform p, std::string_view folder) {
    WindowId game = p.windows.findByTitle(kGameTitle);
    if (game == 0)
        return;

    LaunchCommand killer = killerCommand(folder);
    std::optional<RaidError> notStarted;
    if (p.files.isFile(killer.application)) {
        try {
            p.processes.start(killer);
            return;
        } catch (const RaidError& e) {
            // A killer that cannot run must not leave the player with a frozen game.
            notStarted = e;
        }
    }
    ProcessId owner = p.windows.ownerProcess(game);
    if (owner == 0 || owner == p.processes.currentProcess() || p.processes.terminate(owner))
        return;
    // The game still runs: the player must know why Pause did not end it.
    if (notStarted)
        throw *notStarted;
    RaiseFileError(FileResult::FileNotFound,
                   "Cannot start \"" + killer.application +
                       "\": " + std::string(FileErrorOf(FileResult::FileNotFound).text));
}

void bringGameToFront(WindowSystem& windows) {
    bringWindowForward(windows, windows.findByTitle(kGameTitle));
}

}  // namespace rk
