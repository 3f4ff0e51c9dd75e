// Implements: UTF-8 <-> UTF-16 conversion for the Win32 layer.
#include "platform/win32/text_win.h"

#include <windows.h>

#include <climits>
#include <stdexcept>

namespace rk::win {

namespace {
int checkedLength(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX))
        throw std::length_error("text too long");
    return static_cast<int>(size);
}
}  // namespace

std::wstring toWide(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int inLen = checkedLength(utf8.size());
    const int outLen = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLen, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(outLen), L'\0');
    if (outLen > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLen, out.data(), outLen);
    return out;
}

std::string toUtf8(std::wstring_view wide) {
    if (wide.empty())
        return {};
    const int inLen = checkedLength(wide.size());
    const int outLen =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), inLen, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(outLen), '\0');
    if (outLen > 0) {
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), inLen, out.data(), outLen, nullptr, nullptr);
    }
    return out;
}

}  // namespace rk::win
