#include "settings/settings_panel.h"

#include "game/game_folder.h"
#include "settings/reg_support.h"
#include "text/command_line.h"

namespace rk {

namespace {
constexpr std::string_view kDefaultMsnTitle = "has just signed in.";
constexpr std::string_view kFolderDialogTitle = "Look for your folder where files are saved.";

// The folder part of a stored prefix: everything before its last backslash.
std::string folderOf(const std::string& prefix) {
    auto slash = prefix.rfind('\\');
    return slash == std::string::npos ? prefix : prefix.substr(0, slash);
}
}  // namespace

void SettingsPanel::setScreenPrefix(std::string_view programFolder) {
    gameFolder_ = findGameFolder(p_.folders, programFolder);
    std::string folder = ReadSetting(p_.registry, "ScreenFolder");
    if (folder.empty()) {
        // Not stored, so that it follows the game from one run to the next.
        ScreenshotDefault made = defaultScreenshotPrefix(p_.folders, gameFolder_);
        prefix_.cdlg2FileName = std::move(made.prefix);
        shotsFolderToMake_ = std::move(made.folderToMake);
    } else {
        prefix_.cdlg2FileName = folder;
    }
    prefix_.screenPrefix = prefix_.cdlg2FileName;
}

void SettingsPanel::fill() {
    Controls& c = p_.controls;
    for (int i = 1; i <= 4; ++i) {
        c.setText("oText" + std::to_string(i),
                  ReadSetting(p_.registry, "KeyBind" + std::to_string(i)));
    }
    if (ReadSetting(p_.registry, "ScreenyFormat") == "Bmp")
        c.setValue("Option1", true);
    if (ReadSetting(p_.registry, "MSN") == "True")
        c.setValue("Check1", true);
    if (ReadSetting(p_.registry, "MSN Title").empty()) {
        WriteSetting(p_.registry, "MSN Title", kDefaultMsnTitle);
    }
    c.setText("Text1", ReadSetting(p_.registry, "MSN Title"));
    msnTicked_ = c.value("Check1");
    msnText_ = c.text("Text1");
    if (!ReadSetting(p_.registry, "JPGQuality").empty()) {
        c.setText("txtJPGQuality", ReadSetting(p_.registry, "JPGQuality"));
    }
}

void SettingsPanel::Check1_Click() {
    msnTicked_ = p_.controls.value("Check1");
    WriteSetting(p_.registry, "MSN", msnTicked_ ? "True" : "False");
}

void SettingsPanel::cmdSetJPGQuality_Click() {
    WriteSetting(p_.registry, "JPGQuality", p_.controls.text("txtJPGQuality"));
}

void SettingsPanel::Option1_Click() {
    for (auto name : {"Label10", "cmdSetJPGQuality", "txtJPGQuality"})
        p_.controls.setEnabled(name, false);
    WriteSetting(p_.registry, "ScreenyFormat", "Bmp");
}

void SettingsPanel::Option2_Click() {
    for (auto name : {"Label10", "cmdSetJPGQuality", "txtJPGQuality"})
        p_.controls.setEnabled(name, true);
    WriteSetting(p_.registry, "ScreenyFormat", "Jpg");
}

void SettingsPanel::oText_Change(int keybind) {
    auto n = std::to_string(keybind);
    WriteSetting(p_.registry, "KeyBind" + n, p_.controls.text("oText" + n));
}

void SettingsPanel::Text1_Change() {
    msnText_ = p_.controls.text("Text1");
    WriteSetting(p_.registry, "MSN Title", msnText_);
}

void SettingsPanel::Command1_Click() {
    FileDialogOptions options;
    options.title = kFolderDialogTitle;
    options.fileName = prefix_.cdlg2FileName;
    options.filters = {{"All Folders", ""}};
    // A cancelled dialog keeps its file name, so the old prefix is stored again.
    if (auto chosen = p_.fileDialogs.saveFile(options);
        chosen && *chosen != prefix_.cdlg2FileName) {
        prefix_.cdlg2FileName = *chosen;
        shotsFolderToMake_.clear();  // the player's own folder is theirs to make
    }
    prefix_.screenPrefix = prefix_.cdlg2FileName;
    WriteSetting(p_.registry, "ScreenFolder", prefix_.screenPrefix);
}

void SettingsPanel::Command4_Click() {
    std::string stored = ReadSetting(p_.registry, "ScreenFolder");
    if (stored.empty())
        return;
    // Quoted where it holds blanks, or the browser would open only the part before the blank.
    p_.processes.start({"", "explorer.exe " + quotedPath(folderOf(stored)), ShowCommand::Normal});
}

}  // namespace rk
