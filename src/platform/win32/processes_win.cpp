// Implements: rk::win::Win32Processes (priority, start, terminate) and currentProcessInfo.
#include "platform/win32/processes_win.h"

#include <windows.h>

#include <string>

#include "platform/error.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/system_error_win.h"
#include "platform/win32/text_win.h"

namespace rk::win {

namespace {

// The program a command names, for the error text: the application, else the command line's
// first word (quoted or up to the first blank).
std::string programOf(const LaunchCommand& command) {
    if (!command.application.empty())
        return command.application;
    std::string_view line = command.commandLine;
    if (!line.empty() && line.front() == '"') {
        const auto close = line.find('"', 1);
        return std::string(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
    }
    return std::string(line.substr(0, line.find_first_of(" \t")));
}

std::size_t lastSeparator(std::string_view path) {
    return path.find_last_of("\\/");
}

}  // namespace

void Win32Processes::raisePriority() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
}

void Win32Processes::start(const LaunchCommand& command) {
    const std::wstring application = toWide(command.application);
    // CreateProcessW may write into the command line, so it gets its own copy.
    std::wstring commandLine = toWide(command.commandLine);
    commandLine.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(command.show);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(application.empty() ? nullptr : application.c_str(), commandLine.data(),
                        nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        raiseFileError(GetLastError(), "Cannot start \"" + programOf(command) + "\"");
    }
    // Never waited for: both handles go at once.
    UniqueKernelHandle process(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
}

ProcessId Win32Processes::currentProcess() {
    return GetCurrentProcessId();
}

bool Win32Processes::terminate(ProcessId process) {
    UniqueKernelHandle handle(OpenProcess(PROCESS_TERMINATE, FALSE, process));
    return handle && TerminateProcess(handle.get(), 1);
}

std::string folderOf(std::string_view modulePath) {
    const auto sep = lastSeparator(modulePath);
    if (sep == std::string_view::npos)
        return {};
    return std::string(modulePath.substr(0, sep));
}

std::string exeNameOf(std::string_view modulePath) {
    const auto sep = lastSeparator(modulePath);
    std::string_view name = sep == std::string_view::npos ? modulePath : modulePath.substr(sep + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > 0)
        name = name.substr(0, dot);
    return std::string(name);
}

ProcessInfo currentProcessInfo() {
    // Long paths do not fit MAX_PATH: grow until the whole name fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD got = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (got == 0) {
            path.clear();
            break;
        }
        if (got < path.size()) {
            path.resize(got);
            break;
        }
        if (path.size() >= 32768)
            break;
        path.resize(path.size() * 2);
    }
    const std::string modulePath = toUtf8(path);
    ProcessInfo info;
    info.folder = folderOf(modulePath);
    info.exeName = exeNameOf(modulePath);
    info.commandLine = toUtf8(GetCommandLineW());
    return info;
}

}  // namespace rk::win
