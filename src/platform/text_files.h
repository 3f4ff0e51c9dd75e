// Whole-file reads, the file calls whole-file writes are made of, and the ANSI code page files
// are stored in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/capture_files.h"
#include "platform/error.h"

namespace rk {

// Writing goes through the CaptureFiles calls: WriteWholeFile (capture/file_replace.h) holds
// the one write-then-replace.
class TextFiles : public CaptureFiles {
  public:
    // The file's bytes as stored. Raises RaidError (number and description) when it cannot be
    // read.
    virtual std::string readAll(std::string_view path) = 0;
};

// A TextFiles whose file calls are those of the CaptureFiles it holds.
template <class Files>
class TextFilesOver : public TextFiles {
  public:
    std::optional<FileEntry> find(std::string_view path) override { return files_.find(path); }
    FileResult writeNewFrom(std::string_view path, const NextPiece& next) override {
        return files_.writeNewFrom(path, next);
    }
    FileResult move(std::string_view from, std::string_view to, bool replace) override {
        return files_.move(from, to, replace);
    }
    bool remove(std::string_view path) override { return files_.remove(path); }
    bool setTimes(std::string_view path, const FileTimes& times) override {
        return files_.setTimes(path, times);
    }
    bool setAttributes(std::string_view path, std::uint32_t attributes) override {
        return files_.setAttributes(path, attributes);
    }

  protected:
    Files files_;
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
