#include "shell/launch.h"

#include <cctype>

namespace rk {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (prefix.empty() || text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}
}  // namespace

std::string argumentsOf(std::string_view commandLine, std::string_view programPath) {
    size_t i = 0;
    while (i < commandLine.size() && isBlank(commandLine[i])) ++i;
    std::string_view rest = commandLine.substr(i);
    if (startsWithIgnoringCase(rest, programPath) &&
        (rest.size() == programPath.size() || isBlank(rest[programPath.size()]))) {
        i += programPath.size();
    } else if (i < commandLine.size() && commandLine[i] == '"') {
        // A quoted path ends at the next quote; an unclosed quote takes the whole line.
        auto close = commandLine.find('"', i + 1);
        i = close == std::string_view::npos ? commandLine.size() : close + 1;
    } else {
        while (i < commandLine.size() && !isBlank(commandLine[i])) ++i;
    }
    while (i < commandLine.size() && isBlank(commandLine[i])) ++i;
    return std::string(commandLine.substr(i));
}

LaunchMode launchModeOf(std::string_view arguments) {
    if (arguments == kRelaunchArguments)
        return LaunchMode::Relaunch;
    if (arguments == kTrayArguments)
        return LaunchMode::Tray;
    return LaunchMode::Normal;
}

LaunchCommand relaunchCommand(std::string_view folder, std::string_view exeName) {
    std::string program = std::string(folder) + "\\" + std::string(exeName) + ".exe";
    return {program, quotedPath(program) + " " + std::string(kTrayArguments),
            ShowCommand::Minimized};
}

}  // namespace rk
