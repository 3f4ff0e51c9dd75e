// Open and save dialogs whose answers the test queues; each remembers how it was opened.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "fault_plan.h"
#include "platform/error.h"
#include "platform/file_dialogs.h"

namespace rk {

class FakeFileDialogs : public FileDialogs, public Faultable {
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
    void willAnswer(std::optional<std::string> choice) {
        answers_.push_back({std::move(choice), std::nullopt});
    }
    // The next dialog cannot be shown: it raises RaidError with this description.
    void willFail(std::string description) {
        answers_.push_back({std::nullopt, std::move(description)});
    }

    std::vector<Opened> opened;

  private:
    // CDERR_DIALOGFAILURE, the code the Win32 dialogs raise with when they cannot be shown.
    static constexpr int kDialogFailure = 0xFFFF;

    std::optional<std::string> answer(Kind kind, const FileDialogOptions& options) {
        opened.push_back({kind, options});
        // The player never saw it, so the choice meant for it goes with it.
        if (fault(Call::FileDialog)) {
            if (!answers_.empty())
                answers_.pop_front();
            throw RaidError(kDialogFailure, "CommonDialog", "The dialog could not be shown.");
        }
        if (answers_.empty())
            return std::nullopt;  // nobody there to choose: cancelled
        Answer next = std::move(answers_.front());
        answers_.pop_front();
        if (next.failure)
            throw RaidError(kDialogFailure, "CommonDialog", *next.failure);
        return next.choice;
    }

    struct Answer {
        std::optional<std::string> choice;
        std::optional<std::string> failure;
    };
    std::deque<Answer> answers_;
};

}  // namespace rk
