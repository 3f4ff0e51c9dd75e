// Implements: rk::win::DesignedControls (controls from a design table: stacking, ids, layout at
// the DPI, fonts, colours, owner-drawn buttons, focus by tab index), stackingOrder.
#include "platform/win32/designed_window_win.h"

#include <windows.h>
// commctrl.h needs the types windows.h defines.
#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <optional>
#include <string>

#include "platform/win32/common_controls_win.h"
#include "platform/win32/control_ids_win.h"
#include "platform/win32/dpi_win.h"
#include "platform/win32/owner_button_win.h"
#include "platform/win32/text_win.h"

namespace rk::win {

namespace {

constexpr int kDefaultCentiPoints = 800;
// One line of the default font: 13 pixels at 96 dpi.
constexpr int kLineTwips = 195;
constexpr int kTimesCentiPoints = 825;

struct WindowKind {
    const wchar_t* windowClass;
    DWORD style;
};

std::optional<WindowKind> windowKindOf(const ControlSpec& c) {
    switch (c.kind) {
        case ControlKind::Frame:
            return WindowKind{L"BUTTON", BS_GROUPBOX};
        case ControlKind::Button:
            // Windows paints push buttons in the system colours only.
            return WindowKind{L"BUTTON", BS_OWNERDRAW | WS_TABSTOP};
        case ControlKind::CheckBox:
            return WindowKind{L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP};
        case ControlKind::OptionButton:
            return WindowKind{L"BUTTON", BS_AUTORADIOBUTTON | WS_TABSTOP};
        case ControlKind::Label:
            // A one-line label is clipped rather than wrapped: with a face a little wider than
            // the one it was laid out for, wrapping would drop its whole last word from sight.
            return WindowKind{
                L"STATIC",
                static_cast<DWORD>(c.height < 2 * kLineTwips ? SS_LEFTNOWORDWRAP : SS_LEFT)};
        case ControlKind::PictureBox:
            return WindowKind{L"STATIC", SS_LEFT};
        case ControlKind::TextBox:
            // The one multi-line box is the help text, which nothing reads back.
            if (c.multiLine)
                return WindowKind{
                    L"EDIT", ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_TABSTOP};
            return WindowKind{L"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP};
        case ControlKind::Timer:
        case ControlKind::Dialog:
            return std::nullopt;
    }
    return std::nullopt;
}

// Themed check boxes, option buttons and group boxes ignore the colours of WM_CTLCOLORSTATIC;
// without a theme they take them. uxtheme.dll is looked up at run time and stays loaded.
void useClassicLook(HWND control) {
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    static const auto setWindowTheme = []() -> SetWindowThemeFn {
        HMODULE uxtheme = LoadLibraryW(L"uxtheme.dll");
        return uxtheme ? reinterpret_cast<SetWindowThemeFn>(
                             reinterpret_cast<void*>(GetProcAddress(uxtheme, "SetWindowTheme")))
                       : nullptr;
    }();
    if (setWindowTheme)
        setWindowTheme(control, L"", L"");
}

HFONT makeFont(const wchar_t* face, int centiPoints, UINT dpi, BYTE pitchAndFamily) {
    LOGFONTW font{};
    font.lfHeight = fontHeightAt(centiPoints, dpi);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    // The family lets Windows pick a look-alike where the face is missing.
    font.lfPitchAndFamily = pitchAndFamily;
    wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

bool fontInstalled(const wchar_t* face) {
    WindowDc screen(nullptr);
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(query.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(
        screen.get(), &query,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) -> int {
            *reinterpret_cast<bool*>(found) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// Frames are group boxes painted here: a themed group box draws its caption in the theme's
// colour whatever WM_CTLCOLORSTATIC says.
LRESULT CALLBACK frameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR owner) {
    auto* controls = reinterpret_cast<DesignedControls*>(owner);
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(frame, &paint);
            controls->paintFrame(frame, dc);
            EndPaint(frame, &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            controls->paintFrame(frame, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETTEXT:
        case WM_ENABLE:
        case WM_UPDATEUISTATE: {
            // The button class repaints these at once, bypassing WM_PAINT: paint over it.
            const LRESULT result = defSubclassProc(frame, message, wParam, lParam);
            InvalidateRect(frame, nullptr, FALSE);
            return result;
        }
        case WM_NCDESTROY:
            removeWindowSubclass(frame, frameProc, 0);
            break;
        default:
            break;
    }
    return defSubclassProc(frame, message, wParam, lParam);
}

std::wstring textOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length < 0 ? 0 : length) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

DWORD styleOf(HWND control) {
    return static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
}

bool canTakeFocus(HWND control) {
    const DWORD style = styleOf(control);
    return (style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

bool isChecked(HWND control) {
    return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void stackContents(const WindowSpec& design, std::string_view container,
                   std::vector<std::size_t>& order) {
    for (std::size_t i = 0; i < design.controls.size(); ++i) {
        const ControlSpec& c = design.controls[i];
        if (c.parent != container)
            continue;
        if (c.kind == ControlKind::Frame)
            stackContents(design, c.name, order);
        order.push_back(i);
    }
}

}  // namespace

const wchar_t* defaultFontFace() {
    static const wchar_t* const face =
        fontInstalled(kModernSansSerif) ? kModernSansSerif : kClassicSansSerif;
    return face;
}

std::vector<std::size_t> stackingOrder(const WindowSpec& design) {
    std::vector<std::size_t> order;
    stackContents(design, "", order);
    return order;
}

bool DesignedControls::create(HWND window, HINSTANCE instance) {
    window_ = window;
    handles_.assign(design_.controls.size(), nullptr);
    bool complete = true;
    HWND lastMade = nullptr;
    const ControlSpec* previous = nullptr;
    for (const std::size_t index : stackingOrder(design_)) {
        const ControlSpec& c = design_.controls[index];
        const auto kind = windowKindOf(c);
        if (!kind)
            continue;
        // Arrow keys move among option buttons up to the next control that starts a group.
        const bool continuesGroup = c.kind == ControlKind::OptionButton && previous &&
                                    previous->kind == ControlKind::OptionButton &&
                                    previous->parent == c.parent;
        const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | kind->style |
                            (c.visible ? WS_VISIBLE : 0) | (continuesGroup ? 0 : WS_GROUP);
        HWND control = CreateWindowExW(
            0, kind->windowClass, toWide(c.caption).c_str(), style, 0, 0, 0, 0, window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlIdOf(index))), instance, nullptr);
        if (!control) {
            complete = false;
            continue;
        }
        handles_[index] = control;
        // Stacked explicitly below the one made before: the tab walk does not use this order.
        SetWindowPos(control, lastMade ? lastMade : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        lastMade = control;
        previous = &c;
        if (c.kind == ControlKind::CheckBox || c.kind == ControlKind::OptionButton)
            useClassicLook(control);
        if (c.kind == ControlKind::Frame)
            setWindowSubclass(control, frameProc, 0, reinterpret_cast<DWORD_PTR>(this));
        if (c.maxLength > 0)
            SendMessageW(control, EM_LIMITTEXT, static_cast<WPARAM>(c.maxLength), 0);
        if (c.selected)
            SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);
    }
    layout(dpiOf(window));
    // Made at no width, a text box may have scrolled its design text out of sight: show its start.
    for (std::size_t i = 0; i < handles_.size(); ++i) {
        if (handles_[i] && design_.controls[i].kind == ControlKind::TextBox) {
            SendMessageW(handles_[i], EM_SETSEL, 0, 0);
            SendMessageW(handles_[i], EM_SCROLLCARET, 0, 0);
        }
    }
    return complete;
}

POINT DesignedControls::originOf(std::size_t index) const {
    const ControlSpec& c = design_.controls[index];
    const int dpi = static_cast<int>(dpi_);
    POINT at{twipsToPixels(c.left, dpi), twipsToPixels(c.top, dpi)};
    // Each frame is a container of its own: a control sits at its own offset from the frame.
    if (const ControlSpec* frame = findControl(design_, c.parent)) {
        const POINT base = originOf(static_cast<std::size_t>(frame - design_.controls.data()));
        at.x += base.x;
        at.y += base.y;
    }
    return at;
}

void DesignedControls::layout(UINT dpi) {
    dpi_ = dpi;
    const int d = static_cast<int>(dpi);
    UniqueGdiObject defaultFont(
        makeFont(defaultFontFace(), kDefaultCentiPoints, dpi, DEFAULT_PITCH | FF_SWISS));
    UniqueGdiObject timesFont(
        makeFont(kTimesFace, kTimesCentiPoints, dpi, VARIABLE_PITCH | FF_ROMAN));

    const SIZE size =
        windowSizeForClient(design_.clientWidth, design_.clientHeight, styleOf(window_),
                            static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE)), dpi);
    SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame may still be drawn at another DPI than the one asked for (Windows without
    // per-monitor scaling of it): make up the difference so the client area is the design's.
    RECT client{};
    GetClientRect(window_, &client);
    const int missingWidth = twipsToPixels(design_.clientWidth, d) - client.right;
    const int missingHeight = twipsToPixels(design_.clientHeight, d) - client.bottom;
    if (missingWidth != 0 || missingHeight != 0) {
        SetWindowPos(window_, nullptr, 0, 0, size.cx + missingWidth, size.cy + missingHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (std::size_t i = 0; i < handles_.size(); ++i) {
        HWND control = handles_[i];
        if (!control)
            continue;
        const ControlSpec& c = design_.controls[i];
        const POINT at = originOf(i);
        SetWindowPos(control, nullptr, at.x, at.y, twipsToPixels(c.width, d),
                     twipsToPixels(c.height, d), SWP_NOZORDER | SWP_NOACTIVATE);
        const HGDIOBJ font =
            c.font == ControlFont::TimesNewRoman ? timesFont.get() : defaultFont.get();
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // Text boxes are one line of text high: the font's own margins would crowd it out.
        if (c.kind == ControlKind::TextBox) {
            const int margin = MulDiv(1, d, 96);
            SendMessageW(control, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                         MAKELPARAM(margin, margin));
        }
    }
    // The old fonts go only once no control uses them any more.
    defaultFont_ = std::move(defaultFont);
    timesFont_ = std::move(timesFont);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

const ControlSpec* DesignedControls::designOf(HWND control) const {
    if (!control)
        return nullptr;
    const int index = designIndexOf(GetDlgCtrlID(control), handles_.size());
    if (index < 0 || handles_[static_cast<std::size_t>(index)] != control)
        return nullptr;
    return &design_.controls[static_cast<std::size_t>(index)];
}

HWND DesignedControls::handleOf(std::string_view name) const {
    const ControlSpec* c = findControl(design_, name);
    if (!c || handles_.empty())
        return nullptr;
    return handles_[static_cast<std::size_t>(c - design_.controls.data())];
}

std::vector<std::pair<const ControlSpec*, HWND>> DesignedControls::made() const {
    std::vector<std::pair<const ControlSpec*, HWND>> controls;
    for (std::size_t i = 0; i < handles_.size(); ++i) {
        if (handles_[i])
            controls.emplace_back(&design_.controls[i], handles_[i]);
    }
    return controls;
}

HBRUSH DesignedControls::brush(Colour colour) {
    auto& made = brushes_[colour];
    if (!made)
        made.reset(CreateSolidBrush(colour));
    return static_cast<HBRUSH>(made.get());
}

HFONT DesignedControls::fontFor(const ControlSpec& control) const {
    return static_cast<HFONT>(control.font == ControlFont::TimesNewRoman ? timesFont_.get()
                                                                         : defaultFont_.get());
}

HBRUSH DesignedControls::colourControl(HWND control, HDC dc) {
    const ControlSpec* c = designOf(control);
    if (!c)
        return nullptr;
    // A disabled control keeps its background; its text turns grey.
    const COLORREF fore = IsWindowEnabled(control) ? c->fore : GetSysColor(COLOR_GRAYTEXT);
    SetTextColor(dc, fore);
    SetBkColor(dc, c->back);
    return brush(c->back);
}

bool DesignedControls::drawItem(const DRAWITEMSTRUCT& item) {
    const ControlSpec* c = item.CtlType == ODT_BUTTON ? designOf(item.hwndItem) : nullptr;
    if (!c || c->kind != ControlKind::Button)
        return false;
    drawOwnerButton(item, c->back, c->fore, fontFor(*c));
    return true;
}

void DesignedControls::paintFrame(HWND frame, HDC dc) {
    const ControlSpec* c = designOf(frame);
    if (!c)
        return;
    RECT area;
    GetClientRect(frame, &area);
    // Opaque, as a frame is a container of its own; what lies above it is clipped away.
    FillRect(dc, &area, brush(c->back));
    const HGDIOBJ oldFont = SelectObject(dc, fontFor(*c));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT edge = area;
    edge.top += metrics.tmHeight / 2 - 1;
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);

    const std::wstring caption = textOf(frame);
    if (!caption.empty()) {
        const bool hideAccel = (SendMessageW(frame, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) != 0;
        const UINT format = DT_SINGLELINE | DT_LEFT | DT_TOP | (hideAccel ? DT_HIDEPREFIX : 0);
        const int indent = MulDiv(7, static_cast<int>(dpi_), 96);
        RECT label{area.left + indent, area.top, area.right - indent, area.bottom};
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &label,
                  format | DT_CALCRECT);
        RECT behind{label.left - 1, label.top, label.right + 1, label.bottom + 1};
        FillRect(dc, &behind, brush(c->back));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, IsWindowEnabled(frame) ? c->fore : GetSysColor(COLOR_GRAYTEXT));
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &label, format);
    }
    SelectObject(dc, oldFont);
}

std::vector<std::size_t> DesignedControls::tabStops() const {
    auto selectedOptionIn = [this](std::string_view frame) {
        for (std::size_t i = 0; i < handles_.size(); ++i) {
            const ControlSpec& c = design_.controls[i];
            if (handles_[i] && c.kind == ControlKind::OptionButton && c.parent == frame &&
                isChecked(handles_[i]))
                return true;
        }
        return false;
    };
    std::vector<std::size_t> stops;
    for (std::size_t i = 0; i < handles_.size(); ++i) {
        const ControlSpec& c = design_.controls[i];
        // Windows moves WS_TABSTOP to whichever option button is checked; the check decides.
        const DWORD style = handles_[i] ? styleOf(handles_[i]) : 0;
        const bool stop = c.kind == ControlKind::OptionButton
                              ? (style & WS_VISIBLE) && !(style & WS_DISABLED)
                              : canTakeFocus(handles_[i]);
        if (!handles_[i] || c.tabIndex < 0 || !stop)
            continue;
        // Of a frame's option buttons only the selected one is a stop, as in dialogs.
        if (c.kind == ControlKind::OptionButton && !isChecked(handles_[i]) &&
            selectedOptionIn(c.parent))
            continue;
        stops.push_back(i);
    }
    std::sort(stops.begin(), stops.end(), [this](std::size_t a, std::size_t b) {
        return design_.controls[a].tabIndex < design_.controls[b].tabIndex;
    });
    return stops;
}

bool DesignedControls::tab(bool backwards) {
    const auto stops = tabStops();
    if (stops.empty())
        return false;
    const ControlSpec* current = nullptr;
    for (HWND h = GetFocus(); h && h != window_ && !current; h = GetParent(h)) {
        current = designOf(h);
    }
    std::size_t next = backwards ? stops.back() : stops.front();
    if (current) {
        const int from = current->tabIndex;
        if (backwards) {
            for (auto it = stops.rbegin(); it != stops.rend(); ++it) {
                if (design_.controls[*it].tabIndex < from) {
                    next = *it;
                    break;
                }
            }
        } else {
            for (const std::size_t stop : stops) {
                if (design_.controls[stop].tabIndex > from) {
                    next = stop;
                    break;
                }
            }
        }
    }
    HWND target = handles_[next];
    SetFocus(target);
    const ControlSpec& c = design_.controls[next];
    if (c.kind == ControlKind::TextBox && !c.multiLine)
        SendMessageW(target, EM_SETSEL, 0, -1);
    return true;
}

HWND DesignedControls::cancelButton() const {
    for (std::size_t i = 0; i < handles_.size(); ++i) {
        if (handles_[i] && design_.controls[i].role == ButtonRole::Cancel &&
            isPressableButton(handles_[i]))
            return handles_[i];
    }
    return nullptr;
}

bool DesignedControls::isPressableButton(HWND control) const {
    const ControlSpec* c = designOf(control);
    const DWORD style = control ? styleOf(control) : 0;
    return c && c->kind == ControlKind::Button && (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

void DesignedControls::rememberFocus() {
    HWND focus = GetFocus();
    if (focus && IsChild(window_, focus))
        lastFocus_ = focus;
}

void DesignedControls::restoreFocus() {
    if (lastFocus_ && IsWindow(lastFocus_) && IsChild(window_, lastFocus_) &&
        IsWindowEnabled(lastFocus_) && (styleOf(lastFocus_) & WS_VISIBLE)) {
        SetFocus(lastFocus_);
        return;
    }
    const auto stops = tabStops();
    SetFocus(stops.empty() ? window_ : handles_[stops.front()]);
}

}  // namespace rk::win
