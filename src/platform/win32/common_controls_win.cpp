// Implements: the comctl32 calls of common_controls_win.h (LoadLibraryExW, GetProcAddress).
#include "platform/win32/common_controls_win.h"

namespace rk::win {

namespace {

// Loaded once and kept for the program's life: its window classes live as long.
HMODULE library() {
    static const HMODULE module =
        LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module;
}

template <class Fn>
Fn entry(const char* name) {
    const HMODULE module = library();
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

}  // namespace

bool initCommonControls(DWORD classes) {
    using Fn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    static const Fn init = entry<Fn>("InitCommonControlsEx");
    const INITCOMMONCONTROLSEX common{sizeof common, classes};
    return init != nullptr && init(&common);
}

BOOL setWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) {
    using Fn = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR);
    static const Fn set = entry<Fn>("SetWindowSubclass");
    return set != nullptr && set(window, proc, id, data);
}

BOOL removeWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id) {
    using Fn = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR);
    static const Fn remove = entry<Fn>("RemoveWindowSubclass");
    return remove != nullptr && remove(window, proc, id);
}

LRESULT defSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    using Fn = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
    static const Fn next = entry<Fn>("DefSubclassProc");
    return next != nullptr ? next(window, message, wParam, lParam)
                           : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace rk::win
