// Implements: checkWindow (classes, kinds, places, sizes, texts, states, fonts, stacking, tab
// order and colours of a live window against its design).
#include "layout_check.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "platform/win32/text_win.h"
#include "screen_capture.h"

namespace rkprobe {

namespace {

using rk::ControlKind;
using rk::ControlSpec;
using rk::WindowSpec;

// Anti-aliased or not, some pixels of a caption come within this of its colour.
constexpr int kColourTolerance = 0x30;
constexpr int kTimeoutMs = 5000;

std::string utf8(const std::wstring& text) {
    return rk::win::toUtf8(text);
}

std::string quoted(const std::wstring& text) {
    return "\"" + utf8(text) + "\"";
}

int pixels(int twips, unsigned dpi) {
    return static_cast<int>(std::lround(twips * static_cast<double>(dpi) / 1440.0));
}

int fontHeight(int centiPoints, unsigned dpi) {
    return -static_cast<int>(std::lround(centiPoints * static_cast<double>(dpi) / 7200.0));
}

struct Report {
    std::vector<std::string>& lines;
    void operator()(std::string_view control, const std::string& what) const {
        lines.push_back(std::string(control) + ": " + what);
    }
};

// The window class a design entry must have; nullopt for entries that are not windows.
std::optional<std::wstring> expectedClass(const ControlSpec& c) {
    switch (c.kind) {
        case ControlKind::Frame:
        case ControlKind::Button:
        case ControlKind::CheckBox:
        case ControlKind::OptionButton:
            return L"Button";
        case ControlKind::Label:
        case ControlKind::PictureBox:
            return L"Static";
        case ControlKind::TextBox:
            return L"Edit";
        default:
            return std::nullopt;
    }
}

bool takesFocus(ControlKind kind) {
    return kind == ControlKind::Button || kind == ControlKind::CheckBox ||
           kind == ControlKind::OptionButton || kind == ControlKind::TextBox;
}

// "" when the style bits give the design's kind of control.
std::string kindProblem(const ControlSpec& c, DWORD style) {
    const DWORD button = style & BS_TYPEMASK;
    switch (c.kind) {
        case ControlKind::Frame:
            return button == BS_GROUPBOX ? "" : "is not a group box";
        case ControlKind::Button:
            // Windows paints other push buttons in the system colours only.
            return button == BS_OWNERDRAW ? "" : "is not an owner-drawn button";
        case ControlKind::CheckBox:
            return button == BS_AUTOCHECKBOX ? "" : "is not an automatic check box";
        case ControlKind::OptionButton:
            return button == BS_AUTORADIOBUTTON ? "" : "is not an automatic option button";
        case ControlKind::Label: {
            const DWORD type = style & SS_TYPEMASK;
            return type == SS_LEFT || type == SS_LEFTNOWORDWRAP ? "" : "is not a left-aligned text";
        }
        case ControlKind::TextBox:
            if (c.multiLine)
                return (style & ES_MULTILINE) && (style & ES_READONLY)
                           ? ""
                           : "is not a multi-line read-only text box";
            return !(style & ES_MULTILINE) && (style & ES_AUTOHSCROLL)
                       ? ""
                       : "is not a one-line scrolling text box";
        default:
            return "";
    }
}

const ControlSpec* parentOf(const WindowSpec& design, const ControlSpec& c) {
    return rk::findControl(design, c.parent);
}

std::vector<const ControlSpec*> chainOf(const WindowSpec& design, const ControlSpec* c) {
    std::vector<const ControlSpec*> chain;
    for (; c; c = parentOf(design, *c)) chain.push_back(c);
    return chain;
}

// Whether a must lie above b where they overlap: a frame's contents lie above the frame, and
// among the entries of one container an earlier one lies above a later one.
bool designedAbove(const WindowSpec& design, const ControlSpec* a, const ControlSpec* b) {
    const auto chainA = chainOf(design, a);
    const auto chainB = chainOf(design, b);
    if (std::find(chainB.begin(), chainB.end(), a) != chainB.end())
        return false;
    if (std::find(chainA.begin(), chainA.end(), b) != chainA.end())
        return true;
    for (const ControlSpec* ra : chainA) {
        for (const ControlSpec* rb : chainB) {
            if (ra->parent == rb->parent)
                return ra < rb;  // entries of one table: an earlier one has the lower address
        }
    }
    return false;
}

bool visible(const LiveControl& c) {
    return (c.style & WS_VISIBLE) != 0;
}

bool overlap(const RECT& a, const RECT& b) {
    RECT both;
    return IntersectRect(&both, &a, &b) != FALSE;
}

void checkOne(HWND window, const WindowSpec& design, const LiveControl& live,
              const std::vector<LiveControl>& all, const CheckOptions& options, unsigned dpi,
              const Report& report) {
    const ControlSpec& c = *live.design;
    if (auto cls = expectedClass(c); cls && lstrcmpiW(cls->c_str(), live.windowClass.c_str()) != 0)
        report(c.name, "class " + utf8(live.windowClass) + ", expected " + utf8(*cls));
    if (auto problem = kindProblem(c, live.style); !problem.empty())
        report(c.name, problem);

    // Place: the design's offset from its container (a frame, or the client area).
    POINT container{0, 0};
    if (const ControlSpec* frame = parentOf(design, c)) {
        const LiveControl* frameLive = findLive(all, frame->name);
        if (!frameLive) {
            report(c.name, "its frame " + std::string(frame->name) + " is missing");
        } else {
            container = {frameLive->rect.left, frameLive->rect.top};
        }
    }
    const int x = live.rect.left - container.x;
    const int y = live.rect.top - container.y;
    const int w = live.rect.right - live.rect.left;
    const int h = live.rect.bottom - live.rect.top;
    const int ex = pixels(c.left, dpi), ey = pixels(c.top, dpi);
    const int ew = pixels(c.width, dpi), eh = pixels(c.height, dpi);
    if (x != ex || y != ey || w != ew || h != eh) {
        report(c.name, "at " + std::to_string(x) + "," + std::to_string(y) + " size " +
                           std::to_string(w) + "x" + std::to_string(h) + ", expected " +
                           std::to_string(ex) + "," + std::to_string(ey) + " size " +
                           std::to_string(ew) + "x" + std::to_string(eh));
    }

    // Style bits and state.
    if (visible(live) != c.visible)
        report(c.name, c.visible ? "is hidden" : "is visible");
    // Windows moves WS_TABSTOP among option buttons to the checked one.
    const bool tabStop = takesFocus(c.kind) && c.visible;
    const bool hasTabStop = (live.style & WS_TABSTOP) != 0;
    if (c.kind == ControlKind::OptionButton ? isChecked(live.hwnd) && !hasTabStop
                                            : hasTabStop != tabStop)
        report(c.name, tabStop ? "is no tab stop" : "is a tab stop");
    const bool shouldBeEnabled = !options.disabled.contains(c.name);
    if (((live.style & WS_DISABLED) == 0) != shouldBeEnabled ||
        (IsWindowEnabled(live.hwnd) != FALSE) != shouldBeEnabled)
        report(c.name, shouldBeEnabled ? "is disabled" : "is enabled");

    // Texts: captions always, the player's values only in a first run.
    const bool playerValue = c.kind == ControlKind::TextBox && !c.multiLine;
    if (!playerValue || options.designValues) {
        const std::wstring expected = rk::win::toWide(
            c.kind == ControlKind::TextBox && c.multiLine ? rk::infoHelpText() : c.caption);
        if (live.text != expected)
            report(c.name, "text " + quoted(live.text) + ", expected " + quoted(expected));
    }
    if ((c.kind == ControlKind::CheckBox || c.kind == ControlKind::OptionButton) &&
        options.designValues && isChecked(live.hwnd) != c.selected)
        report(c.name, c.selected ? "is not selected" : "is selected");
    if (c.kind == ControlKind::TextBox) {
        const auto limit = SendMessageW(live.hwnd, EM_GETLIMITTEXT, 0, 0);
        if (c.maxLength > 0 ? limit != c.maxLength : limit <= 3)
            report(c.name, "takes at most " + std::to_string(limit) + " characters");
    }

    // Font: Times New Roman 8.25 pt for text boxes that name it, else MS Sans Serif 8 pt (or
    // its TrueType successor, where Windows has it).
    const auto font = fontOf(window, live.id);
    if (!font) {
        report(c.name, "the program does not tell its font");
        return;
    }
    const std::wstring face = font->lfFaceName;
    const bool times = c.font == rk::ControlFont::TimesNewRoman;
    const bool faceOk = times ? face == L"Times New Roman"
                              : face == L"MS Sans Serif" || face == L"Microsoft Sans Serif";
    const int height = fontHeight(times ? 825 : 800, dpi);
    if (!faceOk || font->lfHeight != height || font->lfWeight > FW_NORMAL)
        report(c.name, "font " + quoted(face) + " height " + std::to_string(font->lfHeight) +
                           " weight " + std::to_string(font->lfWeight) + ", expected " +
                           (times ? "Times New Roman" : "MS Sans Serif") + " height " +
                           std::to_string(height) + " normal weight");
}

void checkStacking(const WindowSpec& design, const std::vector<LiveControl>& all,
                   CheckResult& result, const Report& report) {
    for (std::size_t i = 0; i < all.size(); ++i) {
        for (std::size_t j = i + 1; j < all.size(); ++j) {
            const LiveControl& a = all[i];  // above b: earlier in the live order
            const LiveControl& b = all[j];
            if (!a.design || !b.design || !visible(a) || !visible(b) || !overlap(a.rect, b.rect))
                continue;
            ++result.overlaps;
            if (!designedAbove(design, a.design, b.design))
                report(a.design->name,
                       "lies above " + std::string(b.design->name) + ", expected below it");
        }
    }
}

// The controls Tab visits now, in tab-index order: of a frame's option buttons only the
// selected one.
std::vector<const LiveControl*> expectedTabStops(const std::vector<LiveControl>& all) {
    std::vector<const LiveControl*> stops;
    for (const auto& c : all) {
        if (!c.design || c.design->tabIndex < 0 || !takesFocus(c.design->kind) || !visible(c) ||
            !IsWindowEnabled(c.hwnd))
            continue;
        if (c.design->kind == ControlKind::OptionButton && !isChecked(c.hwnd)) {
            const bool otherSelected = std::any_of(all.begin(), all.end(), [&](const auto& o) {
                return o.design && o.design->kind == ControlKind::OptionButton &&
                       o.design->parent == c.design->parent && isChecked(o.hwnd);
            });
            if (otherSelected)
                continue;
        }
        stops.push_back(&c);
    }
    std::sort(stops.begin(), stops.end(),
              [](auto* a, auto* b) { return a->design->tabIndex < b->design->tabIndex; });
    return stops;
}

std::string nameOf(const std::vector<LiveControl>& all, HWND hwnd) {
    for (const auto& c : all) {
        if (c.hwnd == hwnd)
            return c.design ? std::string(c.design->name) : "an unnamed control";
    }
    return hwnd ? "a window outside the form" : "nothing";
}

void checkTabOrder(HWND window, const std::vector<LiveControl>& all, CheckResult& result,
                   const Report& report) {
    const auto stops = expectedTabStops(all);
    if (stops.size() < 2)
        return;
    SetForegroundWindow(window);
    HWND start = nullptr;
    if (!waitFor([&] { return (start = focusOf(window)) != nullptr; }, kTimeoutMs)) {
        report("Tab", "no control has the focus once the window is active");
        return;
    }
    auto at = std::find_if(stops.begin(), stops.end(), [&](auto* s) { return s->hwnd == start; });
    if (at == stops.end()) {
        report("Tab", "the focus starts on " + nameOf(all, start) + ", which is no tab stop");
        return;
    }
    std::size_t position = static_cast<std::size_t>(at - stops.begin());
    HWND current = start;
    for (std::size_t step = 1; step <= stops.size(); ++step) {
        const LiveControl* expected = stops[(position + step) % stops.size()];
        PostMessageW(current, WM_KEYDOWN, VK_TAB, 1);
        HWND now = nullptr;
        waitFor([&] { return (now = focusOf(window)) != current; }, kTimeoutMs);
        ++result.tabStops;
        if (now != expected->hwnd) {
            report("Tab", "after " + nameOf(all, current) + " goes to " + nameOf(all, now) +
                              ", expected " + std::string(expected->design->name));
            return;
        }
        current = now;
    }
}

// Colours seen on the screen: each control's background is the most common colour of what
// shows of it, its text shows in its text colour (grey when disabled), and the window's own
// background fills what no control covers.
void checkColours(HWND window, const WindowSpec& design, const std::vector<LiveControl>& all,
                  CheckResult& result, const Report& report) {
    SetForegroundWindow(window);
    const RECT client = clientRectOnScreen(window);
    // Wait for the paint to settle: two equal captures in a row.
    std::optional<ScreenCapture> shot;
    waitFor(
        [&] {
            ScreenCapture next(client);
            const bool settled = shot && *shot == next && GetForegroundWindow() == window;
            shot = std::move(next);
            return settled;
        },
        kTimeoutMs);
    if (!shot || !shot->valid()) {
        report("colours", "the screen cannot be read");
        return;
    }
    const int width = shot->width(), height = shot->height();
    auto covered = [&](int x, int y, int aboveRank) {
        for (const auto& o : all) {
            if (o.stackRank < aboveRank && visible(o) && x >= o.rect.left && x < o.rect.right &&
                y >= o.rect.top && y < o.rect.bottom)
                return true;
        }
        return false;
    };
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    const COLORREF shadow = GetSysColor(COLOR_3DSHADOW);
    for (const auto& c : all) {
        if (!c.design || !visible(c))
            continue;
        std::map<COLORREF, int> seen;
        int foreCount = 0, greyCount = 0;
        // Edges and 3D borders are left out.
        for (int y = std::max(0, static_cast<int>(c.rect.top) + 2);
             y < std::min(height, static_cast<int>(c.rect.bottom) - 2); ++y) {
            for (int x = std::max(0, static_cast<int>(c.rect.left) + 2);
                 x < std::min(width, static_cast<int>(c.rect.right) - 2); ++x) {
                if (covered(x, y, c.stackRank))
                    continue;
                const COLORREF p = shot->at(x, y);
                ++seen[p];
                foreCount += closeTo(p, c.design->fore, kColourTolerance);
                greyCount +=
                    closeTo(p, grey, kColourTolerance) || closeTo(p, shadow, kColourTolerance);
            }
        }
        if (seen.empty())
            continue;
        ++result.colourChecks;
        const auto most = std::max_element(seen.begin(), seen.end(),
                                           [](auto& a, auto& b) { return a.second < b.second; });
        if (most->first != c.design->back) {
            char text[96];
            snprintf(text, sizeof text, "background 0x%06lX, expected 0x%06lX",
                     static_cast<unsigned long>(most->first),
                     static_cast<unsigned long>(c.design->back));
            report(c.design->name, text);
        }
        const bool hasText = !c.text.empty() && c.design->kind != rk::ControlKind::PictureBox;
        if (!hasText)
            continue;
        if (IsWindowEnabled(c.hwnd)) {
            if (foreCount < 3)
                report(c.design->name, "its text does not show in its colour");
        } else if (foreCount > 0 || greyCount < 3) {
            report(c.design->name, "does not look disabled: its text is not grey");
        }
    }
    // The window's own background, on a grid of points no control covers.
    int background = 0;
    for (int y = 1; y < height; y += 7) {
        for (int x = 1; x < width; x += 7) {
            if (covered(x, y, static_cast<int>(all.size())))
                continue;
            ++background;
            if (shot->at(x, y) != design.back) {
                char text[96];
                snprintf(text, sizeof text, "0x%06lX at %d,%d, expected 0x%06lX",
                         static_cast<unsigned long>(shot->at(x, y)), x, y,
                         static_cast<unsigned long>(design.back));
                report("window background", text);
                return;
            }
        }
    }
    result.colourChecks += background > 0;
}

}  // namespace

CheckResult checkWindow(Which which, const CheckOptions& options) {
    CheckResult result;
    const Report report{result.mismatches};
    const WindowSpec& design = designOf(which);
    HWND window = findProgramWindow(which);
    if (!window) {
        report(design.title, "no such window");
        return result;
    }
    result.dpi = dpiOfWindow(window);
    if (options.expectedDpi && result.dpi != options.expectedDpi)
        report(design.title, "runs at " + std::to_string(result.dpi) + " dpi, expected " +
                                 std::to_string(options.expectedDpi));
    const unsigned dpi = result.dpi ? result.dpi : 96;

    if (windowText(window) != rk::win::toWide(design.title))
        report(design.title, "title " + quoted(windowText(window)));
    RECT client{};
    GetClientRect(window, &client);
    if (client.right != pixels(design.clientWidth, dpi) ||
        client.bottom != pixels(design.clientHeight, dpi))
        report(design.title, "client area " + std::to_string(client.right) + "x" +
                                 std::to_string(client.bottom) + ", expected " +
                                 std::to_string(pixels(design.clientWidth, dpi)) + "x" +
                                 std::to_string(pixels(design.clientHeight, dpi)));

    const auto all = readControls(window, design);
    for (const auto& live : all) {
        if (!live.design)
            report("child id " + std::to_string(live.id), "is not in the design");
    }
    for (const ControlSpec& c : design.controls) {
        const auto count =
            std::count_if(all.begin(), all.end(), [&](const auto& l) { return l.design == &c; });
        if (expectedClass(c) ? count != 1 : count != 0)
            report(c.name, "made " + std::to_string(count) + " times");
    }
    for (const auto& live : all) {
        if (!live.design)
            continue;
        ++result.controls;
        checkOne(window, design, live, all, options, dpi, report);
    }
    checkStacking(design, all, result, report);
    if (IsWindowVisible(window)) {
        // Colours first: the tab walk leaves a text box's text selected.
        checkColours(window, design, all, result, report);
        checkTabOrder(window, all, result, report);
    }
    return result;
}

}  // namespace rkprobe
