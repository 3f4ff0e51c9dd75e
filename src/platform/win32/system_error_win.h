// Windows error codes as the program's file failures, and as text for the descriptions of
// raised errors.
#pragma once

#include <windows.h>

#include <string>

#include "platform/file_errors.h"

namespace rk::win {

// The system's own message for a GetLastError code, without the trailing line break; the
// code in hex when the system has no text for it.
std::string systemErrorText(DWORD code);

// The one translation of a GetLastError code into the program's file failures, whose numbers
// file_errors.h gives.
FileResult fileResultOf(DWORD code);

// Raises a file failure: its number from the code, its description the path or program and the
// system's own words.
[[noreturn]] void raiseFileError(DWORD code, std::string_view what);

// "0x8007001F" form, for HRESULTs that have no system text (DirectInput's own codes).
std::string hresultText(HRESULT hr);

}  // namespace rk::win
