// Implements: rk::win::Win32Controls (text, check state and enabling of named child controls).
#include "platform/win32/controls_win.h"

#include "platform/win32/text_win.h"

namespace rk::win {

namespace {
bool isOptionButton(HWND hwnd) {
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)) & BS_TYPEMASK;
    return lstrcmpiW(cls, L"BUTTON") == 0 &&
           (style == BS_AUTORADIOBUTTON || style == BS_RADIOBUTTON);
}

std::string windowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length < 0 ? 0 : length) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return toUtf8(text);
}
}  // namespace

void Win32Controls::add(std::string name, HWND control, std::string group) {
    controls_[std::move(name)] = Entry{control, std::move(group), isOptionButton(control)};
}

std::string Win32Controls::nameOf(HWND control) const {
    for (const auto& [name, entry] : controls_) {
        if (entry.hwnd == control)
            return name;
    }
    return {};
}

const Win32Controls::Entry* Win32Controls::find(std::string_view control) const {
    const auto it = controls_.find(control);
    return it == controls_.end() || !IsWindow(it->second.hwnd) ? nullptr : &it->second;
}

std::string Win32Controls::text(std::string_view control) {
    const Entry* e = find(control);
    return e ? windowText(e->hwnd) : std::string();
}

void Win32Controls::setText(std::string_view control, std::string_view text) {
    const Entry* e = find(control);
    // An edit control reports EN_CHANGE for every WM_SETTEXT; only a different text is a change.
    if (!e || windowText(e->hwnd) == text)
        return;
    SetWindowTextW(e->hwnd, toWide(text).c_str());
}

bool Win32Controls::value(std::string_view control) {
    const Entry* e = find(control);
    return e && SendMessageW(e->hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Controls::setValue(std::string_view control, bool on) {
    const Entry* e = find(control);
    if (!e || value(control) == on)
        return;
    if (e->option && on) {
        for (const auto& [name, other] : controls_) {
            if (other.option && other.hwnd != e->hwnd && other.group == e->group &&
                SendMessageW(other.hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED) {
                SendMessageW(other.hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
            }
        }
    }
    SendMessageW(e->hwnd, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    if (onEvent)
        onEvent(control, ControlEvent::Click);
}

bool Win32Controls::enabled(std::string_view control) {
    const Entry* e = find(control);
    return e && IsWindowEnabled(e->hwnd);
}

void Win32Controls::setEnabled(std::string_view control, bool on) {
    if (const Entry* e = find(control))
        EnableWindow(e->hwnd, on ? TRUE : FALSE);
}

}  // namespace rk::win
