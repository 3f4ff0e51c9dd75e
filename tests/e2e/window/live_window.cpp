// Implements: reading the live windows of raidkit.exe (controls by id, texts, fonts, focus).
#include "live_window.h"

#include "platform/win32/control_ids_win.h"

namespace rkprobe {

namespace {

// The answer to the program's font question arrives here while SendMessage waits.
std::optional<LOGFONTW> answeredFont;
int answeredId = 0;

LRESULT CALLBACK answerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data->cbData == sizeof(LOGFONTW)) {
            LOGFONTW font;
            memcpy(&font, data->lpData, sizeof font);
            answeredFont = font;
            answeredId = static_cast<int>(data->dwData);
        }
        return TRUE;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND answerWindow() {
    static HWND window = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = answerProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"RkProbeAnswers";
        RegisterClassW(&wc);
        return CreateWindowExW(0, L"RkProbeAnswers", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }();
    return window;
}

}  // namespace

std::optional<Which> whichOf(std::string_view name) {
    if (name == "main")
        return Which::Main;
    if (name == "info")
        return Which::Info;
    return std::nullopt;
}

const rk::WindowSpec& designOf(Which which) {
    return which == Which::Main ? rk::form1Layout() : rk::iconFrmLayout();
}

HWND findProgramWindow(Which which) {
    return FindWindowW(which == Which::Main ? rk::win::kMainWindowClass : rk::win::kInfoWindowClass,
                       nullptr);
}

std::wstring windowText(HWND window) {
    // WM_GETTEXT is carried across processes, unlike most messages with pointers.
    const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto got =
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return text;
}

std::vector<LiveControl> readControls(HWND window, const rk::WindowSpec& design) {
    std::vector<LiveControl> controls;
    int rank = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        LiveControl c;
        c.hwnd = child;
        c.id = GetDlgCtrlID(child);
        const int index = rk::win::designIndexOf(c.id, design.controls.size());
        c.design = index < 0 ? nullptr : &design.controls[static_cast<std::size_t>(index)];
        wchar_t name[64] = {};
        GetClassNameW(child, name, 64);
        c.windowClass = name;
        GetWindowRect(child, &c.rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&c.rect), 2);
        c.style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
        c.text = windowText(child);
        c.stackRank = rank++;
        controls.push_back(std::move(c));
    }
    return controls;
}

const LiveControl* findLive(const std::vector<LiveControl>& controls, std::string_view name) {
    for (const auto& c : controls) {
        if (c.design && c.design->name == name)
            return &c;
    }
    return nullptr;
}

HWND controlOf(Which which, std::string_view name) {
    HWND window = findProgramWindow(which);
    if (!window)
        return nullptr;
    const auto all = readControls(window, designOf(which));
    const LiveControl* c = findLive(all, name);
    return c ? c->hwnd : nullptr;
}

std::optional<LOGFONTW> fontOf(HWND window, int controlId) {
    static const UINT question = RegisterWindowMessageW(rk::win::kDescribeFontMessage);
    answeredFont.reset();
    DWORD_PTR sent = FALSE;
    if (!SendMessageTimeoutW(window, question, reinterpret_cast<WPARAM>(answerWindow()), controlId,
                             SMTO_NORMAL, 5000, &sent) ||
        !sent || answeredId != controlId)
        return std::nullopt;
    return answeredFont;
}

HWND focusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus && (info.hwndFocus == window || IsChild(window, info.hwndFocus))
               ? info.hwndFocus
               : nullptr;
}

bool isChecked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

UINT dpiOfWindow(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    return getDpiForWindow ? getDpiForWindow(window) : 0;
}

RECT clientRectOnScreen(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
}

}  // namespace rkprobe
