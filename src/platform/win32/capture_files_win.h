// CaptureFiles on kernel32's file functions.
#pragma once

#include "platform/capture_files.h"

namespace rk::win {

class Win32CaptureFiles final : public CaptureFiles {
  public:
    std::optional<FileEntry> find(std::string_view path) override;
    FileResult writeNewFrom(std::string_view path, const NextPiece& next) override;
    FileResult move(std::string_view from, std::string_view to, bool replace) override;
    bool remove(std::string_view path) override;
    bool setTimes(std::string_view path, const FileTimes& times) override;
    bool setAttributes(std::string_view path, std::uint32_t attributes) override;
};

}  // namespace rk::win
