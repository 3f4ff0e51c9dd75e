// TextFiles on kernel32 files, AnsiCodePage on the system's ANSI code page (CP_ACP).
#pragma once

#include "platform/text_files.h"
#include "platform/win32/capture_files_win.h"

namespace rk::win {

// Reads itself; the calls writes are made of are the capture files' own.
class Win32TextFiles final : public TextFilesOver<Win32CaptureFiles> {
  public:
    std::string readAll(std::string_view path) override;
};

class Win32AnsiCodePage final : public AnsiCodePage {
  public:
    std::string toUtf8(std::string_view ansi) override;
    std::optional<std::string> fromUtf8(std::string_view utf8) override;
};

}  // namespace rk::win
