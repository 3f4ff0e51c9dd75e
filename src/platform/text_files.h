// Whole-file reads and safe whole-file writes, and the ANSI code page files are stored in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/error.h"

namespace rk {

class TextFiles {
  public:
    virtual ~TextFiles() = default;
    // The file's bytes as stored. Raises RaidError (number and description) when it cannot be
    // read.
    virtual std::string readAll(std::string_view path) = 0;
    // Makes bytes the file's whole content: written in full to a new file first, which then
    // takes the old one's place, so a failure leaves an existing file as it was. Raises RaidError.
    virtual void writeReplacing(std::string_view path, std::string_view bytes) = 0;
};

// The system's ANSI code page, in which the game keeps its profiles.
class AnsiCodePage {
  public:
    virtual ~AnsiCodePage() = default;
    // Bytes without a character come out as the platform's substitute character.
    virtual std::string toUtf8(std::string_view ansi) = 0;
    // nullopt when some character has no form in the code page: a stand-in such as '?' would
    // silently change the text.
    virtual std::optional<std::string> fromUtf8(std::string_view utf8) = 0;
};

}  // namespace rk
