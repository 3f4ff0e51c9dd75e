#include <gtest/gtest.h>

#include "form_harness.h"
#include "settings/reg_support.h"

namespace rk {
namespace {

constexpr auto HKLM = RegRoot::LocalMachine;
// No game folder on the fake machine: the default goes to the player's Pictures.
const std::string kDefaultPrefix = "C:\\Users\\Ann\\Pictures\\Ironveil\\ScreenShot";

std::string stored(FakeRegistry& reg, std::string_view name) {
    auto v = reg.get(HKLM, kSettingsKey, name, RegView::Wow32);
    return v ? std::string(v->bytes.begin(), v->bytes.end()) : "<missing>";
}

struct Panel : ::testing::Test {
    FormHarness h;
    void put(std::string_view name, std::string_view text) {
        h.registry.putText(HKLM, kSettingsKey, name, text, RegView::Wow32);
    }
};

TEST_F(Panel, FirstRunShowsDesignValuesAndStoresOnlyTheSignInText) {
    h.load();
    for (auto box : {"oText1", "oText2", "oText3", "oText4"}) EXPECT_EQ(h.controls.text(box), "");
    EXPECT_TRUE(h.controls.value("Option2"));
    EXPECT_FALSE(h.controls.value("Option1"));
    EXPECT_EQ(h.controls.text("txtJPGQuality"), "100");
    EXPECT_TRUE(h.controls.enabled("txtJPGQuality"));
    EXPECT_FALSE(h.controls.value("Check1"));
    EXPECT_EQ(h.controls.text("Text1"), "has just signed in.");
    EXPECT_EQ(h.controls.text("Text2"), "Nickname");
    EXPECT_EQ(stored(h.registry, "MSN Title"), "has just signed in.");
    for (auto name : {"KeyBind1", "ScreenyFormat", "MSN", "JPGQuality", "ScreenFolder"}) {
        EXPECT_EQ(stored(h.registry, name), "<missing>") << name;
    }
}

TEST_F(Panel, StoredSettingsComeBackIntoTheirControls) {
    put("KeyBind1", "gg $a");
    put("KeyBind4", "brb");
    put("ScreenyFormat", "Bmp");
    put("MSN", "True");
    put("MSN Title", "is now online");
    put("JPGQuality", "75");
    h.load();
    EXPECT_EQ(h.controls.text("oText1"), "gg $a");
    EXPECT_EQ(h.controls.text("oText4"), "brb");
    EXPECT_TRUE(h.controls.value("Option1"));
    EXPECT_FALSE(h.controls.value("Option2"));
    for (auto c : {"Label10", "cmdSetJPGQuality", "txtJPGQuality"})
        EXPECT_FALSE(h.controls.enabled(c));
    EXPECT_TRUE(h.controls.value("Check1"));
    EXPECT_EQ(h.controls.text("Text1"), "is now online");
    EXPECT_EQ(h.controls.text("txtJPGQuality"), "75");
    // Filling stores the same texts back and nothing else.
    EXPECT_EQ(stored(h.registry, "ScreenyFormat"), "Bmp");
    EXPECT_EQ(stored(h.registry, "MSN"), "True");
    EXPECT_EQ(stored(h.registry, "KeyBind1"), "gg $a");
}

class FormatAtStartUp : public Panel, public ::testing::WithParamInterface<const char*> {};

TEST_P(FormatAtStartUp, OnlyExactBmpSelectsBitmap) {
    put("ScreenyFormat", GetParam());
    h.load();
    EXPECT_TRUE(h.controls.value("Option2"));
    EXPECT_TRUE(h.controls.enabled("txtJPGQuality"));
    EXPECT_EQ(stored(h.registry, "ScreenyFormat"), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Panel, FormatAtStartUp, ::testing::Values("Jpg", "bmp", "BMP", "png"));

TEST_F(Panel, OnlyExactTrueTicksTheCheckBox) {
    put("MSN", "true");
    h.load();
    EXPECT_FALSE(h.controls.value("Check1"));
    EXPECT_EQ(stored(h.registry, "MSN"), "true");
}

TEST_F(Panel, EveryKeystrokeInAKeybindBoxIsStored) {
    h.load();
    h.controls.type("oText3", "g");
    EXPECT_EQ(stored(h.registry, "KeyBind3"), "g");
    h.controls.type("oText3", "gg");
    EXPECT_EQ(stored(h.registry, "KeyBind3"), "gg");
    h.controls.type("oText3", "");
    EXPECT_EQ(stored(h.registry, "KeyBind3"), "");
}

TEST_F(Panel, ClearedSignInTextComesBackAfterRestart) {
    h.load();
    h.controls.type("Text1", "");
    EXPECT_EQ(stored(h.registry, "MSN Title"), "");
    FormHarness again;
    again.registry = h.registry;
    again.load();
    EXPECT_EQ(again.controls.text("Text1"), "has just signed in.");
}

TEST_F(Panel, CheckBoxStoresTrueAndFalse) {
    h.load();
    h.controls.click("Check1");
    EXPECT_EQ(stored(h.registry, "MSN"), "True");
    h.controls.click("Check1");
    EXPECT_EQ(stored(h.registry, "MSN"), "False");
}

TEST_F(Panel, FormatOptionsSwitchQualityControlsAndStoreFormat) {
    h.load();
    h.controls.click("Option1");
    EXPECT_EQ(stored(h.registry, "ScreenyFormat"), "Bmp");
    EXPECT_FALSE(h.controls.enabled("Label10"));
    EXPECT_FALSE(h.controls.enabled("cmdSetJPGQuality"));
    h.controls.click("Option2");
    EXPECT_EQ(stored(h.registry, "ScreenyFormat"), "Jpg");
    EXPECT_TRUE(h.controls.enabled("Label10"));
    EXPECT_TRUE(h.controls.enabled("txtJPGQuality"));
}

TEST_F(Panel, QualityIsStoredOnlyByApplyAndUnchecked) {
    h.load();
    h.controls.type("txtJPGQuality", "abcd");
    EXPECT_EQ(h.controls.text("txtJPGQuality"), "abc");
    EXPECT_EQ(stored(h.registry, "JPGQuality"), "<missing>");
    h.controls.click("cmdSetJPGQuality");
    EXPECT_EQ(stored(h.registry, "JPGQuality"), "abc");
}

TEST_F(Panel, EmptyAppliedQualityGivesHundredAfterRestart) {
    h.load();
    h.controls.type("txtJPGQuality", "");
    h.controls.click("cmdSetJPGQuality");
    EXPECT_EQ(stored(h.registry, "JPGQuality"), "");
    FormHarness again;
    again.registry = h.registry;
    again.load();
    EXPECT_EQ(again.controls.text("txtJPGQuality"), "100");
}

TEST_F(Panel, SetFolderOpensOnCurrentPrefixAndStoresChoice) {
    h.load();
    h.fileDialogs.willAnswer("E:\\Shots\\Raid");
    h.controls.click("Command1");
    ASSERT_EQ(h.fileDialogs.opened.size(), 1u);
    const auto& o = h.fileDialogs.opened[0];
    EXPECT_EQ(o.kind, FakeFileDialogs::Kind::Save);
    EXPECT_EQ(o.options.title, "Look for your folder where files are saved.");
    EXPECT_EQ(o.options.fileName, kDefaultPrefix);
    ASSERT_EQ(o.options.filters.size(), 1u);
    EXPECT_EQ(o.options.filters[0].caption, "All Folders");
    EXPECT_EQ(o.options.filters[0].pattern, "");
    EXPECT_EQ(h.form.ScreenPrefix, "E:\\Shots\\Raid");
    EXPECT_EQ(stored(h.registry, "ScreenFolder"), "E:\\Shots\\Raid");

    h.controls.click("Command1");  // cancelled: the unchanged prefix is stored again
    EXPECT_EQ(h.fileDialogs.opened[1].options.fileName, "E:\\Shots\\Raid");
    EXPECT_EQ(h.form.ScreenPrefix, "E:\\Shots\\Raid");
    EXPECT_EQ(stored(h.registry, "ScreenFolder"), "E:\\Shots\\Raid");
}

TEST_F(Panel, CancelledFirstSetFolderStoresDefaultPrefix) {
    h.load();
    h.controls.click("Command1");
    EXPECT_EQ(stored(h.registry, "ScreenFolder"), kDefaultPrefix);
}

struct OpenFolderCase {
    const char* stored;
    const char* commandLine;
};

class OpenFolder : public Panel, public ::testing::WithParamInterface<OpenFolderCase> {};

TEST_P(OpenFolder, StartsFileBrowserOnFolderOfStoredPrefix) {
    put("ScreenFolder", GetParam().stored);
    h.load();
    h.controls.click("Command4");
    ASSERT_EQ(h.processes.started.size(), 1u);
    EXPECT_EQ(h.processes.started[0].application, "");
    EXPECT_EQ(h.processes.started[0].commandLine, GetParam().commandLine);
    EXPECT_EQ(h.processes.started[0].show, ShowCommand::Normal);
}

INSTANTIATE_TEST_SUITE_P(
    Panel, OpenFolder,
    ::testing::Values(OpenFolderCase{"E:\\Shots\\Raid", "explorer.exe E:\\Shots"},
                      OpenFolderCase{"E:\\Shots\\", "explorer.exe E:\\Shots"},
                      OpenFolderCase{"shots", "explorer.exe shots"},
                      OpenFolderCase{"C:\\Program Files\\Halvane\\ScreenShot",
                                     "explorer.exe \"C:\\Program Files\\Halvane\""}));

TEST_F(Panel, OpenFolderWithNothingStoredDoesNothing) {
    h.load();
    h.controls.click("Command4");
    EXPECT_TRUE(h.processes.started.empty());
    EXPECT_TRUE(h.dialogs.shown.empty());
}

TEST_F(Panel, FileBrowserThatCannotStartIsReportedAndProgramGoesOn) {
    put("ScreenFolder", "E:\\Shots\\Raid");
    h.processes.unstartable.insert("explorer.exe");
    h.load();
    h.controls.click("Command4");
    EXPECT_EQ(h.dialogs.shown.size(), 1u);
    EXPECT_FALSE(h.form.ended());
}

TEST_F(Panel, NotFilledInRelaunchModeNorInSecondCopy) {
    FormHarness relaunch("go /D8 /C /R /I100 /U1");
    relaunch.load();
    EXPECT_EQ(stored(relaunch.registry, "MSN Title"), "<missing>");
    FormHarness second;
    second.windows.createWindow("Raidkit v2.2 By Velmor", true, 999);
    second.load();
    EXPECT_EQ(stored(second.registry, "MSN Title"), "<missing>");
}

}  // namespace
}  // namespace rk
