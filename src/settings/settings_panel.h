// The settings panel of the main window: filled from the registry at start-up, and every change
// stored the moment it is made. Form1 owns it and hands its controls' events on.
#pragma once

#include <string>
#include <string_view>

#include "platform/controls.h"
#include "platform/file_dialogs.h"
#include "platform/folders.h"
#include "platform/processes.h"
#include "platform/registry.h"

namespace rk {

struct SettingsPanelPlatform {
    Registry& registry;
    Controls& controls;
    FileDialogs& fileDialogs;
    Processes& processes;
    Folders& folders;
};

// The main window's screenshot prefix and its folder dialog's file name, always equal.
struct ScreenPrefixState {
    std::string& screenPrefix;
    std::string& cdlg2FileName;
};

class SettingsPanel {
  public:
    SettingsPanel(SettingsPanelPlatform platform, ScreenPrefixState prefix)
        : p_(platform), prefix_(prefix) {}

    // Start-up, first piece (every launch mode): finds the game's folder, then sets the prefix
    // from ScreenFolder or the game's default, which is not stored.
    void setScreenPrefix(std::string_view programFolder);
    // Start-up, second piece: the controls from the stored settings.
    void fill();

    void Check1_Click();
    void cmdSetJPGQuality_Click();
    void Option1_Click();
    void Option2_Click();
    void oText_Change(int keybind);
    void Text1_Change();
    void Command1_Click();  // "&Set Folder"
    void Command4_Click();  // "&Open Folder"

    const std::string& gameFolder() const { return gameFolder_; }
    // The default prefix's folder, to be made before a shot is stored there; "" when it is the
    // game's own or the player chose the prefix.
    const std::string& shotsFolderToMake() const { return shotsFolderToMake_; }
    // Check1 and Text1 as the player left them, kept by their handlers: reading the controls
    // in every tick would cost two window messages 66 times a second.
    bool msnTicked() const { return msnTicked_; }
    const std::string& msnText() const { return msnText_; }

  private:
    SettingsPanelPlatform p_;
    ScreenPrefixState prefix_;
    std::string gameFolder_;
    std::string shotsFolderToMake_;
    bool msnTicked_ = false;
    std::string msnText_;
};

}  // namespace rk
