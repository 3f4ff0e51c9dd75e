// Open and save dialogs whose answers the test queues; each remembers how it was opened.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_dialogs.h"

namespace rk {

class FakeFileDialogs : public FileDialogs {
  public:
    enum class Kind { Save, Open };
    struct Opened {
        Kind kind;
        FileDialogOptions options;
    };

    std::optional<std::string> saveFile(const FileDialogOptions& options) override {
        return answer(Kind::Save, options);
    }
    std::optional<std::string> openFile(const FileDialogOptions& options) override {
        return answer(Kind::Open, options);
    }

    // The player's next choice: a file name, or nullopt for Cancel.
    void willAnswer(std::optional<std::string> choice) { answers_.push_back(std::move(choice)); }

    std::vector<Opened> opened;

  private:
    std::optional<std::string> answer(Kind kind, const FileDialogOptions& options) {
        opened.push_back({kind, options});
        if (answers_.empty())
            return std::nullopt;  // nobody there to choose: cancelled
        auto choice = answers_.front();
        answers_.pop_front();
        return choice;
    }
    std::deque<std::optional<std::string>> answers_;
};

}  // namespace rk
