// Windows error codes as text for the descriptions of raised errors.
#pragma once

#include <windows.h>

#include <string>

namespace rk::win {

// The system's own message for a GetLastError code, without the trailing line break; the
// code in hex when the system has no text for it.
std::string systemErrorText(DWORD code);

// "0x8007001F" form, for HRESULTs that have no system text (DirectInput's own codes).
std::string hresultText(HRESULT hr);

}  // namespace rk::win
