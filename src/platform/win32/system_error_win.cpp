// Implements: systemErrorText and hresultText (FormatMessageW).
#include "platform/win32/system_error_win.h"

#include <cstdio>

#include "platform/win32/text_win.h"

namespace rk::win {

std::string hresultText(HRESULT hr) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08lX", static_cast<unsigned long>(hr));
    return buffer;
}

std::string systemErrorText(DWORD code) {
    wchar_t buffer[512];
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                       buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    std::wstring text(buffer, length);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    if (text.empty())
        return "error " + hresultText(static_cast<HRESULT>(code));
    return toUtf8(text);
}

}  // namespace rk::win
