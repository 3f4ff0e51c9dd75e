// Splitting a Windows command line the way the C runtime does for argv[0].
#pragma once

#include <string>
#include <string_view>

namespace e2e {

// The text after the program path and the blanks that follow it: what a program "was given".
// The path ends at its closing quote when it starts with one, otherwise at the first blank.
std::wstring_view args_after_program(std::wstring_view command_line);

// The value after --name on this program's command line, given as "--name value" pairs;
// fallback when the name is not there.
std::wstring named_option(std::wstring_view name, std::wstring fallback = {});

}  // namespace e2e
