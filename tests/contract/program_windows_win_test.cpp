// The program's two real windows made from their designs: events, keyboard, stacking, places at
// the DPI, the help text, and the owner-drawn buttons' look.
#include "platform/win32/program_windows_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/control_ids_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/owner_button_win.h"
#include "platform/win32/text_win.h"
#include "shell/layout.h"
#include "win32_test_support.h"

namespace rk::win {
namespace {

// What the windows hand on, one line per event.
class RecordingEvents final : public WindowEvents {
  public:
    void controlNotified(std::string_view control, ControlEvent event) override {
        seen.push_back((event == ControlEvent::Click ? "Click " : "Change ") +
                       std::string(control));
    }
    void infoClicked(std::string_view control) override {
        seen.push_back("info " + std::string(control));
    }
    void timerFired(UINT_PTR id) override { seen.push_back("timer " + std::to_string(id)); }
    void trayNotified(LPARAM mouse) override { seen.push_back("tray " + std::to_string(mouse)); }
    void taskbarCreated() override { seen.push_back("taskbar created"); }
    void mainDestroyed() override { seen.push_back("main destroyed"); }
    void windowGone(HWND) override {}

    std::vector<std::string> seen;
};

using Seen = std::vector<std::string>;

class ProgramWindowsTest : public ::testing::Test {
  protected:
    ProgramWindowsTest() {
        controls_.onEvent = [this](std::string_view name, ControlEvent event) {
            events_.controlNotified(name, event);
        };
        main_.reset(createMainWindow(GetModuleHandleW(nullptr), {}, events_, controls_));
        info_.reset(createInfoWindow(GetModuleHandleW(nullptr), {}, events_));
        // Shown, as focus and keys need it.
        if (main_)
            ShowWindow(main_.get(), SW_SHOW);
    }
    ~ProgramWindowsTest() override {
        info_.reset();
        main_.reset();
        // The main window's WM_DESTROY posts WM_QUIT; it must not reach the next test.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    HWND control(HWND window, std::string_view name) const {
        const WindowSpec& design = window == main_.get() ? form1Layout() : iconFrmLayout();
        const ControlSpec* c = findControl(design, name);
        return c ? GetDlgItem(window,
                              controlIdOf(static_cast<std::size_t>(c - design.controls.data())))
                 : nullptr;
    }
    HWND mainControl(std::string_view name) const { return control(main_.get(), name); }

    std::string nameOf(HWND hwnd) const {
        for (const auto& c : form1Layout().controls) {
            if (mainControl(c.name) == hwnd && hwnd)
                return std::string(c.name);
        }
        return "?";
    }

    // A key as the message loop hands it over: true when the windows used it up.
    bool key(UINT message, WPARAM key) {
        MSG msg{GetFocus(), message, key, 1, 0, {}};
        return translateWindowKeys(msg);
    }

    RecordingEvents events_;
    Win32Controls controls_;
    UniqueWindow main_;
    UniqueWindow info_;
};

TEST_F(ProgramWindowsTest, TextChangesFromCodeAndFromThePlayerEachRaiseOneChange) {
    ASSERT_TRUE(main_);
    controls_.setText("oText1", "gg");
    controls_.setText("oText1", "gg");
    EXPECT_EQ(events_.seen, (Seen{"Change oText1"}));
    SendMessageW(mainControl("oText1"), EM_SETSEL, 2, 2);
    SendMessageW(mainControl("oText1"), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L" $a"));
    EXPECT_EQ(events_.seen, (Seen{"Change oText1", "Change oText1"}));
    EXPECT_EQ(controls_.text("oText1"), "gg $a");
}

TEST_F(ProgramWindowsTest, ValuesFromCodeAndPlayerClicksEachRaiseOneClick) {
    ASSERT_TRUE(main_);
    EXPECT_TRUE(controls_.value("Option2"));
    controls_.setValue("Option1", true);
    EXPECT_TRUE(controls_.value("Option1"));
    EXPECT_FALSE(controls_.value("Option2"));
    SendMessageW(mainControl("Check1"), BM_CLICK, 0, 0);
    EXPECT_TRUE(controls_.value("Check1"));
    SendMessageW(mainControl("Command4"), BM_CLICK, 0, 0);
    EXPECT_EQ(events_.seen, (Seen{"Click Option1", "Click Check1", "Click Command4"}));
}

TEST_F(ProgramWindowsTest, QualityBoxTakesThreeTypedCharactersButAnyTextFromCode) {
    ASSERT_TRUE(main_);
    HWND box = mainControl("txtJPGQuality");
    controls_.setText("txtJPGQuality", "");
    for (const wchar_t ch : std::wstring(L"1234")) SendMessageW(box, WM_CHAR, ch, 1);
    EXPECT_EQ(controls_.text("txtJPGQuality"), "123");
    controls_.setText("txtJPGQuality", "12345");
    EXPECT_EQ(controls_.text("txtJPGQuality"), "12345");
}

TEST_F(ProgramWindowsTest, EscapePressesHideAndEnterOnlyAFocusedButton) {
    ASSERT_TRUE(main_);
    SetFocus(mainControl("oText1"));
    EXPECT_TRUE(key(WM_KEYDOWN, VK_ESCAPE));
    EXPECT_EQ(events_.seen, (Seen{"Click Command3"}));
    key(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(events_.seen.size(), 1u) << "no default button";
    SetFocus(mainControl("Command4"));
    key(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(events_.seen, (Seen{"Click Command3", "Click Command4"}));
}

TEST_F(ProgramWindowsTest, AccessKeyPressesAnOwnerDrawnButton) {
    ASSERT_TRUE(main_);
    SetFocus(mainControl("Command4"));
    key(WM_SYSCHAR, 's');
    EXPECT_EQ(events_.seen, (Seen{"Click Command1"}));
}

TEST_F(ProgramWindowsTest, TabFollowsTheTabIndexesNotTheStacking) {
    ASSERT_TRUE(main_);
    SetFocus(mainControl("Text2"));
    const Seen expected = {
        "Open_profile", "SetNickName", "Command1", "oText1",   "oText4",           "oText3",
        "oText2",       "Check1",      "Command3", "Command2", "cmdSetJPGQuality", "txtJPGQuality",
        "Option2",      "Command4",    "Text1",    "Text2"};
    Seen walked;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(key(WM_KEYDOWN, VK_TAB));
        walked.push_back(nameOf(GetFocus()));
    }
    EXPECT_EQ(walked, expected);

    // Shift+Tab goes back; the selected option button is the frame's stop.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    key(WM_KEYDOWN, VK_TAB);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(nameOf(GetFocus()), "Text1");
    controls_.setValue("Option1", true);
    SetFocus(mainControl("txtJPGQuality"));
    key(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(nameOf(GetFocus()), "Option1");
}

bool isAbove(HWND a, HWND b) {
    for (HWND h = GetWindow(a, GW_HWNDNEXT); h; h = GetWindow(h, GW_HWNDNEXT)) {
        if (h == b)
            return true;
    }
    return false;
}

TEST_F(ProgramWindowsTest, OverlappingControlsStackAsDesigned) {
    ASSERT_TRUE(main_);
    const std::pair<const char*, const char*> aboveBelow[] = {
        {"Text1", "Check1"},       {"txtJPGQuality", "Label10"}, {"Option2", "Option1"},
        {"Command1", "Command4"},  {"Command1", "Frame7"},       {"Command1", "Frame4"},
        {"SetNickName", "Frame2"}, {"Command4", "Frame7"},       {"Label10", "Frame7"},
        {"Frame7", "Frame4"},      {"Frame6", "Frame2"},         {"Command2", "Frame6"},
    };
    for (const auto& [above, below] : aboveBelow) {
        EXPECT_TRUE(isAbove(mainControl(above), mainControl(below))) << above << " / " << below;
    }
}

struct Placed {
    const char* name;
    RECT at96;  // left, top, right, bottom in client pixels
    RECT at144;
};

RECT clientRectOf(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

LOGFONTW fontOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return font;
}

TEST_F(ProgramWindowsTest, ControlsSitAtTheirTwipsConvertedAtTheWindowsDpi) {
    ASSERT_TRUE(main_);
    // Frames' offsets add up: oText1 in Frame1, txtJPGQuality in Frame7 in Frame4.
    const Placed placed[] = {
        {"oText1", {36, 336, 461, 349}, {54, 504, 692, 524}},
        {"txtJPGQuality", {332, 244, 353, 257}, {498, 366, 530, 386}},
        {"Command3", {428, 460, 471, 479}, {642, 690, 707, 719}},
    };
    auto dpiChange = [&](UINT dpi) {
        RECT suggested{10, 10, 500, 500};
        SendMessageW(main_.get(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
    };
    for (const UINT dpi : {96u, 144u}) {
        dpiChange(dpi);
        RECT client;
        GetClientRect(main_.get(), &client);
        EXPECT_EQ(client.right, dpi == 96 ? 474 : 711) << dpi;
        EXPECT_EQ(client.bottom, dpi == 96 ? 485 : 728) << dpi;
        for (const Placed& p : placed) {
            const RECT want = dpi == 96 ? p.at96 : p.at144;
            const RECT got = clientRectOf(mainControl(p.name));
            EXPECT_TRUE(EqualRect(&got, &want))
                << p.name << " at " << dpi << " dpi: " << got.left << "," << got.top << " "
                << got.right << "," << got.bottom;
        }
        const LOGFONTW times = fontOf(mainControl("oText1"));
        EXPECT_STREQ(times.lfFaceName, L"Times New Roman");
        EXPECT_EQ(times.lfHeight, dpi == 96 ? -11 : -17);
        EXPECT_EQ(fontOf(mainControl("Command3")).lfHeight, dpi == 96 ? -11 : -16);
    }
}

TEST_F(ProgramWindowsTest, TaskbarRestartAndTrayActionsReachTheirEvents) {
    ASSERT_TRUE(main_);
    SendMessageW(main_.get(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    SendMessageW(main_.get(), kTrayMessage, 1, WM_RBUTTONUP);
    EXPECT_EQ(events_.seen, (Seen{"taskbar created", "tray 517"}));
}

TEST_F(ProgramWindowsTest, HelpTextStartsAboveTheClientAreaWithTheFirstQuestionOnTop) {
    ASSERT_TRUE(info_);
    HWND text = control(info_.get(), "Text1");
    ASSERT_NE(text, nullptr);
    const std::wstring help = toWide(infoHelpText());
    const int length = GetWindowTextLengthW(text);
    std::wstring shown(static_cast<std::size_t>(length) + 1, L'\0');
    shown.resize(static_cast<std::size_t>(GetWindowTextW(text, shown.data(), length + 1)));
    EXPECT_EQ(shown, help);
    EXPECT_TRUE(GetWindowLongPtrW(text, GWL_STYLE) & ES_READONLY);

    auto topInWindow = [&](std::size_t index) {
        const LRESULT at = SendMessageW(text, EM_POSFROMCHAR, index, 0);
        POINT p{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
        MapWindowPoints(text, info_.get(), &p, 1);
        return p.y;
    };
    const int lineHeight = -fontOf(text).lfHeight + 4;
    const int question = topInWindow(help.find(L"Is there an uninstaller?"));
    EXPECT_GE(question, 0);
    EXPECT_LT(question, lineHeight);
    EXPECT_LT(topInWindow(help.find(L"\r\n\r\n")), 0) << "the empty lines lie above the window";
}

TEST_F(ProgramWindowsTest, InfoButtonsAndEscapeReachTheInfoEvents) {
    ASSERT_TRUE(info_);
    SendMessageW(control(info_.get(), "Command3"), BM_CLICK, 0, 0);
    SetFocus(control(info_.get(), "Command3"));
    key(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(events_.seen, (Seen{"info Command3", "info Command1"}));
    ShowWindow(info_.get(), SW_SHOW);
    SendMessageW(info_.get(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(info_.get())) << "closing only hides the one info window";
    EXPECT_FALSE(IsWindowVisible(info_.get()));
}

// Draws a button into a bitmap of its own and reads the pixels back.
class DrawnButton {
  public:
    DrawnButton(HWND button, UINT state) : dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bitmap_.reset(CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
        old_ = SelectObject(dc_, bitmap_.get());
        DRAWITEMSTRUCT item{
            ODT_BUTTON, 0, 0, ODA_DRAWENTIRE, state, button, dc_, {0, 0, kWidth, kHeight}, 0};
        drawOwnerButton(item, kButtonBack, kCaptionText,
                        reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)));
        GdiFlush();
    }
    ~DrawnButton() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    COLORREF at(int x, int y) const {
        const auto* p = static_cast<const BYTE*>(bits_) + 4 * (y * kWidth + x);
        return RGB(p[2], p[1], p[0]);
    }
    int count(COLORREF colour) const {
        int n = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) n += at(x, y) == colour;
        return n;
    }

    static constexpr int kWidth = 80;
    static constexpr int kHeight = 24;

  private:
    HDC dc_;
    UniqueGdiObject bitmap_;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

TEST_F(ProgramWindowsTest, OwnerDrawnButtonsShowTheirColoursPressedAndDisabledLooks) {
    ASSERT_TRUE(main_);
    HWND button = mainControl("Command1");
    const DrawnButton up(button, 0);
    EXPECT_EQ(up.at(4, 4), kButtonBack);
    EXPECT_GT(up.count(kCaptionText), 10) << "the caption in its colour";
    const DrawnButton pushed(button, ODS_SELECTED);
    EXPECT_EQ(pushed.at(4, 4), kButtonBack);
    EXPECT_EQ(pushed.at(0, 0), GetSysColor(COLOR_3DSHADOW)) << "sunken while pressed";
    EXPECT_NE(up.at(0, 0), pushed.at(0, 0));
    const DrawnButton disabled(button, ODS_DISABLED);
    EXPECT_EQ(disabled.count(kCaptionText), 0);
    EXPECT_GT(disabled.count(GetSysColor(COLOR_3DSHADOW)), 10) << "a grey caption";
    const DrawnButton focused(button, ODS_FOCUS);
    EXPECT_LT(focused.count(kButtonBack), up.count(kButtonBack) - 50) << "a focus rectangle";
}

}  // namespace
}  // namespace rk::win
