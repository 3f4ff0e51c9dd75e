// Kill.exe: the process killer that the program starts on Pause, for tests. It notes how it was
// called in kill-args.txt beside itself (one line per call) so a test can check the exact
// arguments, then ends every process named by its last argument plus ".exe".
#include <windows.h>
// windows.h first: shellapi.h relies on its types.
#include <shellapi.h>

#include <string>

#include "command_line.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/text_win.h"
#include "processes.h"

namespace {

std::wstring own_folder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

// FILE_APPEND_DATA alone makes every write land at the end, so calls that overlap (a held key
// starts several) do not overwrite each other's lines.
void record_call(std::wstring_view args) {
    const std::wstring file = own_folder() + L"kill-args.txt";
    rk::win::UniqueKernelHandle out(CreateFileW(file.c_str(), FILE_APPEND_DATA,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) {
        return;
    }
    const std::string line = rk::win::toUtf8(args) + "\n";
    DWORD written = 0;
    WriteFile(out.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace

int wmain() {
    const wchar_t* command_line = GetCommandLineW();
    record_call(e2e::args_after_program(command_line));

    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(command_line, &argc);
    if (argv != nullptr && argc >= 2) {
        e2e::terminate_processes(std::wstring(argv[argc - 1]) + L".exe", 5000);
    }
    LocalFree(argv);
    return 0;
}
