// Property checks for the fuzz targets: a broken property prints what was seen and aborts, which
// libFuzzer reports as a crash and keeps the input for replay.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

namespace rk::fuzz {

[[noreturn]] inline void violated(const char* condition, const std::string& detail) {
    std::fprintf(stderr, "\n*** property violated: %s\n*** %s\n", condition, detail.c_str());
    std::abort();
}

// Bytes shown with C escapes, so a report names control characters and stray bytes exactly.
inline std::string shown(std::string_view bytes) {
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out + '"';
}

}  // namespace rk::fuzz

#define FUZZ_CHECK(condition, detail)                             \
    do {                                                          \
        if (!(condition)) {                                       \
            std::ostringstream fuzz_detail_;                      \
            fuzz_detail_ << detail;                               \
            ::rk::fuzz::violated(#condition, fuzz_detail_.str()); \
        }                                                         \
    } while (0)
