// The design of the program's two windows as data: every control with its place in twips,
// caption, tab order and colours. The Windows layer builds real controls from it, the tests
// in-memory ones.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace rk {

enum class ControlKind {
    Frame,
    Button,
    Label,
    TextBox,
    CheckBox,
    OptionButton,
    PictureBox,
    Timer,
    Dialog
};
enum class ControlFont { Default, TimesNewRoman };
// The keyboard role of a button besides its own access key.
enum class ButtonRole { None, Default, Cancel };

// COLORREF values, 0x00BBGGRR.
using Colour = std::uint32_t;
constexpr Colour kWindowBack = 0x00FFC0C0;
constexpr Colour kWindowText = 0x00400000;
constexpr Colour kCaptionText = 0x00800000;
constexpr Colour kButtonBack = 0x00FF8080;
constexpr Colour kTextBoxBack = 0x00FF8080;
constexpr Colour kTextBoxText = 0x00400000;

struct ControlSpec {
    std::string_view name;
    ControlKind kind;
    std::string_view parent;  // "" for the window itself
    int left, top, width, height;
    std::string_view caption;  // caption, or a text box's design text
    int tabIndex;              // -1: not a tab stop
    Colour back;
    Colour fore;
    ControlFont font = ControlFont::Default;
    int maxLength = 0;      // text boxes; 0 means no limit
    bool selected = false;  // option buttons and check boxes
    bool visible = true;
    ButtonRole role = ButtonRole::None;
    bool multiLine = false;
    int interval = 0;  // timers, milliseconds
};

struct WindowSpec {
    std::string_view title;
    int clientWidth, clientHeight;  // twips
    Colour back;
    Colour fore;
    std::span<const ControlSpec> controls;  // topmost first where they overlap
};

const WindowSpec& form1Layout();
const WindowSpec& iconFrmLayout();
const ControlSpec* findControl(const WindowSpec& window, std::string_view name);

// The info window's help text, CR LF after every line.
std::string_view infoHelpText();

// The pop-up menu of the tray icon, in its order.
struct MenuItemSpec {
    std::string_view name;
    std::string_view caption;
};
std::span<const MenuItemSpec> trayMenu();

// Twips at the monitor's real resolution, rounded to the nearest pixel.
int twipsToPixels(int twips, int dpi);

}  // namespace rk
