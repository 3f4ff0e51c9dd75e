// Implements: createMainWindow, createInfoWindow, translateWindowKeys (window classes and their
// dispatching procedures).
#include "platform/win32/program_windows_win.h"

#include <cstdint>
#include <string>

#include "platform/win32/control_ids_win.h"
#include "platform/win32/designed_window_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/text_win.h"
#include "shell/layout.h"

namespace rk::win {

namespace {

// Fixed-size windows: no sizing border, no maximise box.
constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kInfoStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

struct CreateParams {
    WindowEvents* events;
    const WindowSpec* design;
};

// Per-window state, made in WM_NCCREATE and freed in WM_NCDESTROY.
struct WindowData {
    WindowData(WindowEvents* e, const WindowSpec& design) : events(e), controls(design) {}
    WindowEvents* events;
    DesignedControls controls;
};

ATOM mainAtom = 0;
ATOM infoAtom = 0;

WindowData* dataOf(HWND hwnd) {
    return reinterpret_cast<WindowData*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

bool isOurs(HWND window) {
    const auto atom = static_cast<ATOM>(GetClassLongPtrW(window, GCW_ATOM));
    return atom != 0 && (atom == mainAtom || atom == infoAtom);
}

UINT taskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

// The control a WM_COMMAND without a control handle names: the dialog manager's Enter (IDOK)
// and Esc (IDCANCEL). There is no default button: Enter presses only a focused button.
HWND keyedButton(WindowData& data, WORD id) {
    if (id == IDCANCEL)
        return data.controls.cancelButton();
    if (id == IDOK) {
        HWND focus = GetFocus();
        return data.controls.isPressableButton(focus) ? focus : nullptr;
    }
    return nullptr;
}

bool raisesClick(ControlKind kind) {
    return kind == ControlKind::Button || kind == ControlKind::CheckBox ||
           kind == ControlKind::OptionButton;
}

// The design entry and event of a WM_COMMAND; nullptr when it is none of the handled ones.
const ControlSpec* commandSource(WindowData& data, WPARAM wParam, LPARAM lParam,
                                 ControlEvent& event) {
    HWND from = reinterpret_cast<HWND>(lParam);
    event = ControlEvent::Click;
    if (!from) {
        // Menus and accelerators (code 0 or 1) are not used; the keys come with code 0.
        HWND button = HIWORD(wParam) == 0 ? keyedButton(data, LOWORD(wParam)) : nullptr;
        return button ? data.controls.designOf(button) : nullptr;
    }
    const ControlSpec* c = data.controls.designOf(from);
    if (!c)
        return nullptr;
    if (HIWORD(wParam) == BN_CLICKED && raisesClick(c->kind))
        return c;
    if (HIWORD(wParam) == EN_CHANGE && c->kind == ControlKind::TextBox) {
        event = ControlEvent::Change;
        return c;
    }
    return nullptr;
}

UINT describeFontMessage() {
    static const UINT message = RegisterWindowMessageW(kDescribeFontMessage);
    return message;
}

// Tells a reader outside the process which font a control uses (see control_ids_win.h).
LRESULT describeFont(HWND hwnd, HWND asking, int controlId) {
    HWND control = GetDlgItem(hwnd, controlId);
    const auto font =
        control ? reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)) : nullptr;
    LOGFONTW described{};
    if (!font || !IsWindow(asking) || GetObjectW(font, sizeof described, &described) == 0)
        return FALSE;
    COPYDATASTRUCT answer{static_cast<ULONG_PTR>(controlId), sizeof described, &described};
    SendMessageW(asking, WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd),
                 reinterpret_cast<LPARAM>(&answer));
    return TRUE;
}

UINT handleCountsMessage() {
    static const UINT message = RegisterWindowMessageW(kHandleCountsMessage);
    return message;
}

LRESULT packedHandleCounts() {
    const HeldHandleCounts held = heldHandleCounts();
    const auto gdi = static_cast<std::uint32_t>(held.gdi);
    const auto user = static_cast<std::uint32_t>(held.user);
    return static_cast<LRESULT>(std::uint64_t{gdi} << 32 | user);
}

// Messages both windows handle alike; true when handled, with the result in result.
bool commonMessage(HWND hwnd, WindowData& data, UINT message, WPARAM wParam, LPARAM lParam,
                   LRESULT& result) {
    result = 0;
    if (message != 0 && message == describeFontMessage()) {
        result = describeFont(hwnd, reinterpret_cast<HWND>(wParam), static_cast<int>(lParam));
        return true;
    }
    switch (message) {
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(hwnd, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, data.controls.backgroundBrush());
            result = 1;
            return true;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN: {
            HBRUSH brush = data.controls.colourControl(reinterpret_cast<HWND>(lParam),
                                                       reinterpret_cast<HDC>(wParam));
            if (!brush)
                return false;
            result = reinterpret_cast<LRESULT>(brush);
            return true;
        }
        case WM_DRAWITEM:
            if (!data.controls.drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
                return false;
            result = TRUE;
            return true;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                data.controls.rememberFocus();
            } else if (HIWORD(wParam) == 0) {
                data.controls.restoreFocus();
            }
            return true;
        case WM_SETFOCUS:
            // The window itself never keeps the focus: it goes on to a control.
            data.controls.restoreFocus();
            return true;
        case WM_DPICHANGED: {
            data.controls.layout(HIWORD(wParam));
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return true;
        }
        default:
            return false;
    }
}

// WM_NCCREATE and WM_NCDESTROY; the window's data for every other message.
WindowData* attachedData(HWND hwnd, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* params = static_cast<const CreateParams*>(
            reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        auto* data = new WindowData(params->events, *params->design);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
        return nullptr;
    }
    WindowData* data = dataOf(hwnd);
    if (message == WM_NCDESTROY && data) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        if (data->events)
            data->events->windowGone(hwnd);
        delete data;
        return nullptr;
    }
    return data;
}

LRESULT CALLBACK mainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowData* data = attachedData(hwnd, message, lParam);
    if (!data)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    LRESULT result = 0;
    if (commonMessage(hwnd, *data, message, wParam, lParam, result))
        return result;
    WindowEvents* events = data->events;
    if (message != 0 && message == handleCountsMessage())
        return packedHandleCounts();
    if (message != 0 && message == taskbarCreatedMessage()) {
        events->taskbarCreated();
        return 0;
    }
    switch (message) {
        case WM_COMMAND: {
            ControlEvent event;
            if (const ControlSpec* c = commandSource(*data, wParam, lParam, event))
                events->controlNotified(c->name, event);
            return 0;
        }
        case WM_TIMER:
            events->timerFired(wParam);
            return 0;
        case kTrayMessage:
            events->trayNotified(lParam);
            return 0;
        case WM_DESTROY:
            events->mainDestroyed();
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

LRESULT CALLBACK infoProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowData* data = attachedData(hwnd, message, lParam);
    if (!data)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    LRESULT result = 0;
    if (commonMessage(hwnd, *data, message, wParam, lParam, result))
        return result;
    switch (message) {
        case WM_COMMAND: {
            ControlEvent event;
            const ControlSpec* c = commandSource(*data, wParam, lParam, event);
            if (c && c->kind == ControlKind::Button)
                data->events->infoClicked(c->name);
            return 0;
        }
        case WM_CLOSE:
            // There is only ever one info window: closing it by hand hides it.
            ShowWindow(hwnd, SW_HIDE);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

ATOM registerClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc,
                   const WindowIcons& icons) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = icons.large;
    wc.hIconSm = icons.small;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    // The background is the design's colour, painted in WM_ERASEBKGND.
    wc.hbrBackground = nullptr;
    wc.lpszClassName = name;
    if (const ATOM atom = RegisterClassExW(&wc))
        return atom;
    // Registered before in this process (tests make the windows more than once).
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    return static_cast<ATOM>(GetClassInfoExW(instance, name, &existing));
}

HWND createWindow(HINSTANCE instance, const wchar_t* windowClass, const WindowSpec& design,
                  DWORD style, const WindowIcons& icons, WindowEvents& events) {
    CreateParams params{&events, &design};
    HWND hwnd = CreateWindowExW(0, windowClass, toWide(design.title).c_str(), style, CW_USEDEFAULT,
                                CW_USEDEFAULT, 100, 100, nullptr, nullptr, instance, &params);
    if (!hwnd)
        return nullptr;
    // Set on the window as well as the class, so that others can ask the window for them.
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons.large));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons.small));
    WindowData* data = dataOf(hwnd);
    if (!data || !data->controls.create(hwnd, instance)) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    return hwnd;
}

}  // namespace

HWND createMainWindow(HINSTANCE instance, const WindowIcons& icons, WindowEvents& events,
                      Win32Controls& controls) {
    mainAtom = registerClass(instance, kMainWindowClass, mainProc, icons);
    if (!mainAtom)
        return nullptr;
    HWND hwnd = createWindow(instance, kMainWindowClass, form1Layout(), kMainStyle, icons, events);
    if (!hwnd)
        return nullptr;
    for (const auto& [design, control] : dataOf(hwnd)->controls.made()) {
        controls.add(std::string(design->name), control, std::string(design->parent));
    }
    return hwnd;
}

HWND createInfoWindow(HINSTANCE instance, const WindowIcons& icons, WindowEvents& events) {
    infoAtom = registerClass(instance, kInfoWindowClass, infoProc, icons);
    if (!infoAtom)
        return nullptr;
    HWND hwnd =
        createWindow(instance, kInfoWindowClass, iconFrmLayout(), kInfoStyle, icons, events);
    if (!hwnd)
        return nullptr;
    if (HWND text = dataOf(hwnd)->controls.handleOf("Text1"))
        SetWindowTextW(text, toWide(infoHelpText()).c_str());
    return hwnd;
}

bool translateWindowKeys(MSG& msg) {
    // Only keys need the dialog manager; timers and mouse moves go straight to the window.
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST)
        return false;
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (!root || !isOurs(root))
        return false;
    WindowData* data = dataOf(root);
    if (!data)
        return false;
    // Tab follows the tab indexes, which differ from the stacking the dialog manager would walk.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0 &&
        GetKeyState(VK_MENU) >= 0) {
        return data->controls.tab(GetKeyState(VK_SHIFT) < 0);
    }
    return IsDialogMessageW(root, &msg) != FALSE;
}

}  // namespace rk::win
