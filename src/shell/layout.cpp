#include "shell/layout.h"

#include <array>
#include <cmath>

namespace rk {

namespace {

using K = ControlKind;
constexpr auto TNR = ControlFont::TimesNewRoman;
constexpr auto DEF = ControlFont::Default;

// Frames, check box and option buttons sit on the window's colour with dark blue captions.
constexpr ControlSpec frame(std::string_view n, std::string_view p, int l, int t, int w, int h,
                            std::string_view c, int tab) {
    return {n, K::Frame, p, l, t, w, h, c, tab, kWindowBack, kCaptionText};
}
constexpr ControlSpec button(std::string_view n, std::string_view p, int l, int t, int w, int h,
                             std::string_view c, int tab, ButtonRole role = ButtonRole::None) {
    return {n,           K::Button,    p,   l, t,     w,    h,   c, tab,
            kButtonBack, kCaptionText, DEF, 0, false, true, role};
}
constexpr ControlSpec label(std::string_view n, std::string_view p, int l, int t, int w, int h,
                            std::string_view c, int tab) {
    return {n, K::Label, p, l, t, w, h, c, tab, kWindowBack, kCaptionText};
}
constexpr ControlSpec textBox(std::string_view n, std::string_view p, int l, int t, int w, int h,
                              std::string_view c, int tab, Colour fore = kTextBoxText,
                              int maxLength = 0) {
    return {n, K::TextBox, p, l, t, w, h, c, tab, kTextBoxBack, fore, TNR, maxLength};
}
constexpr ControlSpec hidden(std::string_view n, ControlKind k, std::string_view p,
                             int interval = 0) {
    return {n,     k,           p,           0,   0, 0,     0,     "",
            -1,    kWindowBack, kWindowText, DEF, 0, false, false, ButtonRole::None,
            false, interval};
}

constexpr std::array kForm1Controls = {
    frame("Frame6", "", 0, 0, 7095, 675, "Help and Info", 24),
    button("Command2", "Frame6", 6420, 360, 645, 285, "&Info", 26),
    label("Label9", "Frame6", 240, 300, 2805, 195, "Click here to get some help/information ", 25),
    button("Command3", "", 6420, 6900, 645, 285, "&Hide", 22, ButtonRole::Cancel),
    frame("Frame5", "", 0, 6540, 6315, 675, "MSN", 20),
    textBox("Text1", "Frame5", 2400, 300, 1215, 195, "has just signed in.", 34),
    ControlSpec{
        "Check1", K::CheckBox, "Frame5", 120, 300, 4695, 195,
        "Auto close windows with   \xC2\xAB                             \xC2\xBB while playing.",
        21, kWindowBack, kCaptionText},
    frame("Frame1", "", 0, 4140, 7095, 2400, "Keybinds", 11),
    textBox("oText2", "Frame1", 540, 1260, 6375, 195, "", 19),
    textBox("oText3", "Frame1", 540, 1620, 6375, 195, "", 18),
    textBox("oText4", "Frame1", 540, 1980, 6375, 195, "", 17),
    textBox("oText1", "Frame1", 540, 900, 6375, 195, "", 12),
    label("Label8", "Frame1", 180, 300, 4320, 450,
          "To use this : just press your <Talk> or <TeamTalk> button and then press F9 , F10 , "
          "F11 or F12 button.",
          23),
    label("Label7", "Frame1", 120, 900, 180, 195, "F9", 16),
    label("Label3", "Frame1", 120, 1260, 270, 195, "F10", 15),
    label("Label2", "Frame1", 120, 1620, 270, 195, "F11", 14),
    label("Label1", "Frame1", 120, 1980, 270, 195, "F12", 13),
    button("Command1", "", 4860, 3120, 1035, 315, "&Set Folder", 10),
    frame("Frame4", "", 0, 2760, 7095, 1365, "Screenshots", 7),
    button("Command4", "Frame4", 5880, 360, 1035, 315, "&Open Folder", 33),
    frame("Frame7", "Frame4", 720, 600, 6315, 675, "Picture format && quality", 27),
    ControlSpec{"Option2", K::OptionButton, "Frame7", 1620, 300, 1215, 195, "Save as .jpg", 31,
                kWindowBack, kCaptionText, DEF, 0, true},
    ControlSpec{"Option1", K::OptionButton, "Frame7", 180, 300, 1455, 195, "Save As .bmp", 30,
                kWindowBack, kCaptionText},
    textBox("txtJPGQuality", "Frame7", 4260, 300, 315, 195, "100", 29, kTextBoxText, 3),
    button("cmdSetJPGQuality", "Frame7", 5100, 240, 1125, 315, "&Apply Quality", 28),
    label("Label10", "Frame7", 3120, 300, 1605, 195, "Set jpg quality :         %", 32),
    hidden("cdlg2", K::Dialog, "Frame4"),
    ControlSpec{"Picture1", K::PictureBox, "Frame4", 660, 1680, 405, 315, "", 9, kWindowBack,
                kWindowText, DEF, 0, false, false},
    label("Label6", "Frame4", 180, 240, 4875, 255,
          "This program also handels the 'Print Screen' key.", 8),
    frame("Frame3", "", 0, 1920, 7095, 825, "Have had server freezes?", 5),
    hidden("Timer2", K::Timer, "Frame3", 1000),
    hidden("Timer1", K::Timer, "Frame3", 15),
    label("Label5", "Frame3", 180, 240, 6375, 495,
          "When you have a server freeze you might have to log off or even to reset.From now on "
          "just press the 'Pause' key and Ironveil will quit immediately.",
          6),
    button("SetNickName", "", 6420, 1560, 645, 285, "&OK", 4),
    frame("Frame2", "", 0, 660, 7095, 1215, "Quick Change Nickname", 0),
    button("Open_profile", "Frame2", 180, 840, 1635, 315, "&Open Player Profile", 3),
    hidden("cdlg", K::Dialog, "Frame2"),
    textBox("Text2", "Frame2", 180, 540, 6735, 195, "Nickname", 1, kCaptionText),
    label("Label4", "Frame2", 180, 300, 2595, 195, "This helps you modify your nickname", 2),
};

// The text box starts above the client area so that its four empty lines are out of sight.
constexpr std::array kIconFrmControls = {
    button("Command1", "", 4500, 1740, 885, 345, "&Hide", 2, ButtonRole::Cancel),
    button("Command3", "", 3240, 1740, 885, 345, "&More info", 1),
    ControlSpec{"Text1", K::TextBox, "", 120, -660, 8895, 3615, "", 0, kWindowBack, kCaptionText,
                DEF, 0, false, true, ButtonRole::None, true},
};

constexpr WindowSpec kForm1{
    "Raidkit v2.2 By Velmor", 7110, 7275, kWindowBack, kWindowText, kForm1Controls};
constexpr WindowSpec kIconFrm{"Info", 8685, 2190, kWindowBack, kWindowText, kIconFrmControls};

constexpr std::array kTrayMenu = {
    MenuItemSpec{"Exit", "&Exit"},
    MenuItemSpec{"Restore", "&Restore"},
};

constexpr std::string_view kHelpText =
    "\r\n\r\n\r\n\r\n"
    "Is there an uninstaller?\r\n"
    "      >Yes. \r\n"
    "How can I use variables in my keybinds?\r\n"
    "      >Use $a,$b,$c and $d as variables.These will automatically be increased every time "
    "you use your keybind.\r\n"
    "       \"That was headshot number $a\" will first be \"That was headshot number 1\" then "
    "\"That was headshot number 2\" ... \r\n"
    "Can I make this application start automatically with Ironveil?\r\n"
    "      >Yes, just install it to your ...\\Halvane\\Ironveil\\ folder. Warning:"
    "intro.exe will be overwritten(intro movie). \r\n"
    "\r\n"
    " \r\n";

}  // namespace

const WindowSpec& form1Layout() {
    return kForm1;
}
const WindowSpec& iconFrmLayout() {
    return kIconFrm;
}

const ControlSpec* findControl(const WindowSpec& window, std::string_view name) {
    for (const auto& c : window.controls) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

std::string_view infoHelpText() {
    return kHelpText;
}

std::span<const MenuItemSpec> trayMenu() {
    return kTrayMenu;
}

int twipsToPixels(int twips, int dpi) {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
}

}  // namespace rk
