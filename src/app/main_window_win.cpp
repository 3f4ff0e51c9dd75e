// Implements: createMainWindow, createInfoWindow (classes, controls, dispatching procedures).
#include "app/main_window_win.h"

#include <array>
#include <string>

#include "app/resource_ids.h"
#include "app/twips_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/text_win.h"
#include "shell/layout.h"

namespace rk::app {

namespace {

constexpr wchar_t kMainClass[] = L"RaidkitForm1";
constexpr wchar_t kInfoClass[] = L"RaidkitICONfrm";

// Fixed-size windows: no sizing border, no maximise box.
constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kInfoStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

// The controls built so far, topmost first: a frame goes below what it holds.
constexpr std::array<std::string_view, 3> kBuiltControls = {"Command2", "Command3", "Frame6"};
// Control ids: kFirstControlId + the index in kBuiltControls.
constexpr int kFirstControlId = 1001;

const ControlSpec* designOf(HWND control) {
    const int index = GetDlgCtrlID(control) - kFirstControlId;
    if (index < 0 || index >= static_cast<int>(kBuiltControls.size()))
        return nullptr;
    return findControl(form1Layout(), kBuiltControls[static_cast<std::size_t>(index)]);
}

// Per-window state, made in WM_NCCREATE and freed in WM_NCDESTROY.
struct WindowData {
    WindowEvents* events = nullptr;
    win::UniqueGdiObject font;
};

WindowData* dataOf(HWND hwnd) {
    return reinterpret_cast<WindowData*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// Design positions are relative to the control's frame; the real controls are all children of
// the window, so frames' offsets add up.
POINT windowOffsetOf(const ControlSpec& design) {
    POINT at{design.left, design.top};
    for (const ControlSpec* parent = findControl(form1Layout(), design.parent); parent;
         parent = findControl(form1Layout(), parent->parent)) {
        at.x += parent->left;
        at.y += parent->top;
    }
    return at;
}

// The dialog font (8 point) at the window's DPI.
void applyFont(HWND hwnd, WindowData& data, UINT dpi) {
    data.font.reset(CreateFontW(-MulDiv(8, static_cast<int>(dpi), 72), 0, 0, 0, FW_NORMAL, FALSE,
                                FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                                L"MS Shell Dlg 2"));
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(data.font.get()), TRUE);
    }
}

void layoutMain(HWND hwnd, UINT dpi) {
    const WindowSpec& form = form1Layout();
    const SIZE size = windowSizeForClient(form.clientWidth, form.clientHeight, kMainStyle, 0, dpi);
    SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const int d = static_cast<int>(dpi);
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const ControlSpec* design = designOf(child);
        if (!design)
            continue;
        const POINT at = windowOffsetOf(*design);
        SetWindowPos(child, nullptr, twipsToPixels(at.x, d), twipsToPixels(at.y, d),
                     twipsToPixels(design->width, d), twipsToPixels(design->height, d),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// Messages both windows handle alike; true when handled.
bool commonMessage(HWND hwnd, UINT message, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE: {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            auto* data = new WindowData{static_cast<WindowEvents*>(create->lpCreateParams), {}};
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
            return false;
        }
        case WM_NCDESTROY: {
            WindowData* data = dataOf(hwnd);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            if (data && data->events)
                data->events->windowGone(hwnd);
            delete data;
            return false;
        }
        default:
            return false;
    }
}

UINT taskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

LRESULT CALLBACK mainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    commonMessage(hwnd, message, lParam);
    WindowData* data = dataOf(hwnd);
    WindowEvents* events = data ? data->events : nullptr;
    if (message == taskbarCreatedMessage() && message != 0) {
        if (events)
            events->taskbarCreated();
        return 0;
    }
    switch (message) {
        case WM_COMMAND:
            if (events && lParam != 0) {
                events->controlNotified(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
            }
            return 0;
        case WM_TIMER:
            if (events)
                events->timerFired(wParam);
            return 0;
        case kTrayMessage:
            if (events)
                events->trayNotified(lParam);
            return 0;
        case WM_DPICHANGED:
            if (data) {
                applyFont(hwnd, *data, HIWORD(wParam));
                layoutMain(hwnd, HIWORD(wParam));
                const auto* suggested = reinterpret_cast<const RECT*>(lParam);
                SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            return 0;
        case WM_DESTROY:
            if (events)
                events->mainDestroyed();
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

LRESULT CALLBACK infoProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    commonMessage(hwnd, message, lParam);
    if (message == WM_CLOSE) {
        // There is only ever one info window: closing it by hand hides it.
        ShowWindow(hwnd, SW_HIDE);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Icons from LoadImage with LR_SHARED belong to the system; they are never destroyed.
HICON loadIcon(HINSTANCE instance, int id, int sizeMetric) {
    const int size = GetSystemMetrics(sizeMetric);
    return static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_SHARED));
}

bool registerClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc, int iconId) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = loadIcon(instance, iconId, SM_CXICON);
    wc.hIconSm = loadIcon(instance, iconId, SM_CXSMICON);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND createWindow(HINSTANCE instance, const wchar_t* windowClass, std::string_view title,
                  DWORD style, WindowEvents& events) {
    return CreateWindowExW(0, windowClass, win::toWide(title).c_str(), style, CW_USEDEFAULT,
                           CW_USEDEFAULT, 100, 100, nullptr, nullptr, instance, &events);
}

DWORD styleOf(const ControlSpec& design) {
    switch (design.kind) {
        case ControlKind::Frame:
            return BS_GROUPBOX;
        case ControlKind::Button:
            return WS_TABSTOP |
                   (design.role == ButtonRole::Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        default:
            return 0;
    }
}

}  // namespace

HWND createMainWindow(HINSTANCE instance, WindowEvents& events, win::Win32Controls& controls) {
    if (!registerClass(instance, kMainClass, mainProc, IDI_RAIDKIT_MAIN))
        return nullptr;
    const WindowSpec& form = form1Layout();
    HWND hwnd = createWindow(instance, kMainClass, form.title, kMainStyle, events);
    if (!hwnd)
        return nullptr;
    for (std::size_t i = 0; i < kBuiltControls.size(); ++i) {
        const ControlSpec* design = findControl(form, kBuiltControls[i]);
        if (!design)
            continue;
        const auto id = static_cast<INT_PTR>(kFirstControlId + static_cast<int>(i));
        HWND control = CreateWindowExW(
            0, L"BUTTON", win::toWide(design->caption).c_str(),
            WS_CHILD | WS_CLIPSIBLINGS | (design->visible ? WS_VISIBLE : 0) | styleOf(*design), 0,
            0, 0, 0, hwnd, reinterpret_cast<HMENU>(id), instance, nullptr);
        if (control)
            controls.add(std::string(design->name), control, std::string(design->parent));
    }
    const UINT dpi = dpiOf(hwnd);
    applyFont(hwnd, *dataOf(hwnd), dpi);
    layoutMain(hwnd, dpi);
    return hwnd;
}

HWND createInfoWindow(HINSTANCE instance, WindowEvents& events) {
    if (!registerClass(instance, kInfoClass, infoProc, IDI_RAIDKIT_INFO))
        return nullptr;
    const WindowSpec& info = iconFrmLayout();
    HWND hwnd = createWindow(instance, kInfoClass, info.title, kInfoStyle, events);
    if (!hwnd)
        return nullptr;
    const SIZE size =
        windowSizeForClient(info.clientWidth, info.clientHeight, kInfoStyle, 0, dpiOf(hwnd));
    SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return hwnd;
}

HICON infoWindowSmallIcon(HINSTANCE instance) {
    return loadIcon(instance, IDI_RAIDKIT_INFO, SM_CXSMICON);
}

}  // namespace rk::app
