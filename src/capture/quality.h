// The JPEG quality box's text as the number handed to the encoder.
#pragma once

#include <cstdint>
#include <string_view>

namespace rk {

// Decimal text (blanks around it, an optional sign, digits with an optional fraction) as a
// signed 32-bit number; a fraction is rounded to the nearest integer, a half to the even one.
// Raises type mismatch (13) for text that is no number, the empty text included, and
// overflow (6) for a number outside the 32-bit range.
std::int32_t QualityFromText(std::string_view text);

}  // namespace rk
