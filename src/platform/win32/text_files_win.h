// TextFiles on kernel32 files, AnsiCodePage on the system's ANSI code page (CP_ACP).
#pragma once

#include "platform/text_files.h"

namespace rk::win {

class Win32TextFiles final : public TextFiles {
  public:
    std::string readAll(std::string_view path) override;
    void writeReplacing(std::string_view path, std::string_view bytes) override;
};

class Win32AnsiCodePage final : public AnsiCodePage {
  public:
    std::string toUtf8(std::string_view ansi) override;
    std::optional<std::string> fromUtf8(std::string_view utf8) override;
};

}  // namespace rk::win
