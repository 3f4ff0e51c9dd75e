#include "command_line.h"

#include <windows.h>
// windows.h first: shellapi.h relies on its types.
#include <shellapi.h>

namespace e2e {

namespace {
bool is_blank(wchar_t c) {
    return c == L' ' || c == L'\t';
}
}  // namespace

std::wstring_view args_after_program(std::wstring_view command_line) {
    size_t i = 0;
    if (!command_line.empty() && command_line[0] == L'"') {
        const size_t close = command_line.find(L'"', 1);
        i = close == std::wstring_view::npos ? command_line.size() : close + 1;
    } else {
        while (i < command_line.size() && !is_blank(command_line[i])) {
            ++i;
        }
    }
    while (i < command_line.size() && is_blank(command_line[i])) {
        ++i;
    }
    return command_line.substr(i);
}

std::wstring named_option(std::wstring_view name, std::wstring fallback) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 1; argv != nullptr && i + 1 < argc; i += 2) {
        if (name == argv[i]) {
            fallback = argv[i + 1];
            break;
        }
    }
    LocalFree(argv);
    return fallback;
}

}  // namespace e2e
