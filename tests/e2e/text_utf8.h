// UTF-8 <-> UTF-16 conversion for the test tools' files and console output.
#pragma once

#include <string>
#include <string_view>

namespace e2e {

std::string to_utf8(std::wstring_view text);
std::wstring from_utf8(std::string_view text);

}  // namespace e2e
