// FileDialogs on the common dialog library (GetOpenFileNameW, GetSaveFileNameW).
#pragma once

#include <windows.h>

#include "platform/file_dialogs.h"

namespace rk::win {

class Win32FileDialogs final : public FileDialogs {
  public:
    // The dialogs are modal to owner, which must outlive this object.
    explicit Win32FileDialogs(HWND owner) : owner_(owner) {}

    std::optional<std::string> saveFile(const FileDialogOptions& options) override;
    std::optional<std::string> openFile(const FileDialogOptions& options) override;

  private:
    HWND owner_;
};

}  // namespace rk::win
