// UTF-8, the program's one text encoding inside: strict decoding and encoding of code points.
#pragma once

#include <string>
#include <string_view>

namespace rk {

void appendUtf8(std::string& out, char32_t c);
std::string toUtf8(std::u32string_view text);

// Strict: overlong forms, surrogates, values past U+10FFFF and cut-off sequences are refused,
// not guessed at. False at the first malformed sequence, out then holding the characters
// before it (so out.size() + 1 is the faulty character's position).
bool decodeUtf8(std::string_view text, std::u32string& out);

}  // namespace rk
