// The one place where the core's UTF-8 meets Windows' UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace rk::win {

// Invalid UTF-8 becomes U+FFFD; embedded NULs are kept.
std::wstring toWide(std::string_view utf8);
// Unpaired surrogates become U+FFFD; embedded NULs are kept.
std::string toUtf8(std::wstring_view wide);

}  // namespace rk::win
