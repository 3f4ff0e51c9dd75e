// Implements: the program's dialogs and boxes from outside (EnumWindows, WM_SETTEXT,
// CDM_GETFOLDERPATH through a buffer lent in the program's process) and clicks that wait for the
// handler (SendMessageCallbackW).
#include "program_dialogs.h"

#include <commdlg.h>

#include <cstdio>
#include <cwchar>

#include "input_inject.h"
#include "live_window.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/text_win.h"

namespace rkprobe {

const char kDialogCommandsUsage[] =
    "  press main|info CONTROL [TIMEOUT_MS]\n"
    "      click and wait for the program's handler: prints \"returned\" once it has returned,\n"
    "      or \"modal: TITLE\" when it shows a dialog or box first\n"
    "  await-text main|info CONTROL TEXT [TIMEOUT_MS]\n"
    "      wait until the control shows TEXT (fails at once when the program shows a box);\n"
    "      prints the control's text\n"
    "  dialog-type TITLE TEXT       put TEXT in the file-name box of the dialog, then press "
    "Enter\n"
    "  dialog-name TITLE            the file-name box's text\n"
    "  dialog-folder TITLE          the folder the dialog shows\n"
    "  dialog-filter TITLE          the file type the dialog lists\n"
    "  dialog-cancel TITLE\n"
    "  box-text TITLE [TIMEOUT_MS]  wait for the program's message box; prints its text, line\n"
    "                               ends written as \\r and \\n\n"
    "  box-ok TITLE                 press the box's OK and wait for it to go\n";

namespace {

constexpr int kDefaultTimeoutMs = 20000;
// The common dialog's file-name combo box (cmb13) and edit box (edt1), and its file-type combo
// box (cmb1).
constexpr int kFileNameCombo = 0x47c;
constexpr int kFileNameEdit = 0x480;
constexpr int kFileTypeCombo = 0x470;

using Args = std::vector<std::string>;

DWORD programProcess() {
    HWND window = findProgramWindow(Which::Main);
    if (!window)
        window = findProgramWindow(Which::Info);
    DWORD process = 0;
    if (window)
        GetWindowThreadProcessId(window, &process);
    return process;
}

// The first visible #32770 window of the program, with that title unless title is empty. Windows
// of other programs (Wine's own error boxes among them) never count.
HWND findProgramDialog(const std::wstring& title) {
    struct Search {
        DWORD process;
        const std::wstring* title;
        HWND found;
    } search{programProcess(), &title, nullptr};
    if (search.process == 0)
        return nullptr;
    EnumWindows(
        [](HWND hwnd, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD process = 0;
            GetWindowThreadProcessId(hwnd, &process);
            wchar_t cls[16] = {};
            GetClassNameW(hwnd, cls, 16);
            if (process != s->process || !IsWindowVisible(hwnd) || lstrcmpW(cls, L"#32770") != 0)
                return TRUE;
            if (!s->title->empty() && windowText(hwnd) != *s->title)
                return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The file-name box: an edit box inside the file-name combo box (itself inside a ComboBoxEx
// under Wine), or the plain edit box of older dialogs.
HWND fileNameBox(HWND dialog) {
    struct Search {
        HWND dialog;
        HWND found;
    } search{dialog, nullptr};
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            wchar_t cls[16] = {};
            GetClassNameW(child, cls, 16);
            if (lstrcmpiW(cls, L"Edit") != 0)
                return TRUE;
            for (HWND h = child; h && h != s->dialog; h = GetParent(h)) {
                const int id = GetDlgCtrlID(h);
                if (id == kFileNameCombo || id == kFileNameEdit) {
                    s->found = child;
                    return FALSE;
                }
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The folder the dialog shows. CDM_GETFOLDERPATH writes into a buffer of the dialog's own
// process, so one is lent there and read back.
std::optional<std::wstring> folderOf(HWND dialog) {
    DWORD process = 0;
    GetWindowThreadProcessId(dialog, &process);
    rk::win::UniqueKernelHandle handle(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process));
    if (!handle)
        return std::nullopt;
    constexpr std::size_t kChars = 32768;
    void* lent = VirtualAllocEx(handle.get(), nullptr, kChars * sizeof(wchar_t),
                                MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!lent)
        return std::nullopt;
    DWORD_PTR answer = 0;
    std::wstring folder(kChars, L'\0');
    SIZE_T copied = 0;
    const bool read =
        SendMessageTimeoutW(dialog, CDM_GETFOLDERPATH, kChars, reinterpret_cast<LPARAM>(lent),
                            SMTO_NORMAL, 5000, &answer) &&
        static_cast<LONG_PTR>(answer) > 0 &&
        ReadProcessMemory(handle.get(), lent, folder.data(), kChars * sizeof(wchar_t), &copied);
    VirtualFreeEx(handle.get(), lent, 0, MEM_RELEASE);
    if (!read)
        return std::nullopt;
    folder.resize(wcsnlen(folder.c_str(), kChars));
    return folder;
}

// A message box's text: its one static control that is not the icon.
std::optional<std::wstring> boxText(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[16] = {};
        GetClassNameW(child, cls, 16);
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
        if (lstrcmpiW(cls, L"Static") == 0 && (style & SS_TYPEMASK) != SS_ICON)
            return windowText(child);
    }
    return std::nullopt;
}

// Line ends shown, so that a check sees exactly which ones the text holds.
std::string visibleLineEnds(const std::wstring& text) {
    std::string shown;
    for (const char c : rk::win::toUtf8(text)) {
        if (c == '\r') {
            shown += "\\r";
        } else if (c == '\n') {
            shown += "\\n";
        } else {
            shown += c;
        }
    }
    return shown;
}

// Handles messages sent to this thread, SendMessageCallback's answers among them.
void pumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

int timeoutOf(const Args& args, std::size_t index) {
    return args.size() > index ? std::stoi(args[index]) : kDefaultTimeoutMs;
}

int press(const Args& args) {
    const std::optional<Which> which = whichOf(args[1]);
    HWND control = which ? controlOf(*which, args[2]) : nullptr;
    if (!control) {
        std::fprintf(stderr, "no control %s\n", args[2].c_str());
        return 1;
    }
    // A player cannot click a disabled button, nor one under a modal dialog or box, while a
    // sent BM_CLICK would still reach it.
    if (!IsWindowEnabled(control) || !IsWindowEnabled(GetAncestor(control, GA_ROOT))) {
        std::fprintf(stderr, "%s cannot be clicked now: it or its window is disabled\n",
                     args[2].c_str());
        return 1;
    }
    // The click's handler runs inside the sent BM_CLICK, so the answer comes once it has
    // returned; a dialog or box it opens holds it there, and shows instead.
    bool returned = false;
    const SENDASYNCPROC answered = [](HWND, UINT, ULONG_PTR flag, LRESULT) {
        *reinterpret_cast<bool*>(flag) = true;
    };
    if (!SendMessageCallbackW(control, BM_CLICK, 0, 0, answered,
                              reinterpret_cast<ULONG_PTR>(&returned)))
        return 1;
    HWND modal = nullptr;
    const bool settled = waitFor(
        [&] {
            pumpMessages();
            if (returned)
                return true;
            modal = findProgramDialog({});
            return modal != nullptr;
        },
        timeoutOf(args, 3));
    if (!settled) {
        std::fprintf(stderr, "the click on %s is still running\n", args[2].c_str());
        return 1;
    }
    if (returned) {
        std::printf("returned\n");
    } else {
        std::printf("modal: %s\n", rk::win::toUtf8(windowText(modal)).c_str());
    }
    return 0;
}

int awaitText(const Args& args) {
    const std::optional<Which> which = whichOf(args[1]);
    HWND control = which ? controlOf(*which, args[2]) : nullptr;
    if (!control) {
        std::fprintf(stderr, "no control %s\n", args[2].c_str());
        return 1;
    }
    const std::wstring wanted = rk::win::toWide(args[3]);
    HWND box = nullptr;
    waitFor(
        [&] {
            box = findProgramDialog({});
            return box || windowText(control) == wanted;
        },
        timeoutOf(args, 4));
    const std::wstring shown = windowText(control);
    std::printf("%s\n", rk::win::toUtf8(shown).c_str());
    if (box && shown != wanted) {
        const std::wstring text = boxText(box).value_or(L"");
        std::fprintf(stderr, "the program shows \"%s\": %s\n",
                     rk::win::toUtf8(windowText(box)).c_str(), visibleLineEnds(text).c_str());
    }
    return shown == wanted ? 0 : 1;
}

int dialogType(HWND dialog, const std::string& typed) {
    HWND box = dialog ? fileNameBox(dialog) : nullptr;
    if (!box || !focusControl(box))
        return 1;
    // Set whole: typed key by key, the box's completion takes over after a backslash.
    const std::wstring text = rk::win::toWide(typed);
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (!waitFor([&] { return windowText(box) == text; }, 5000))
        return 1;
    pressKey(VK_RETURN);
    return 0;
}

int boxOk(HWND box) {
    if (!box)
        return 1;
    // As the button's own click reports it: OK's identifier, BN_CLICKED, the button.
    HWND ok = GetDlgItem(box, IDOK);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    if (waitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 10000))
        return 0;
    std::fprintf(stderr, "the box stays\n");
    return 1;
}

}  // namespace

HWND programDialog(const std::string& title) {
    return findProgramDialog(rk::win::toWide(title));
}

std::optional<int> runDialogCommand(const Args& args) {
    if (args.empty())
        return std::nullopt;
    const std::string& command = args[0];
    if (command == "press" && (args.size() == 3 || args.size() == 4))
        return press(args);
    if (command == "await-text" && (args.size() == 4 || args.size() == 5))
        return awaitText(args);
    if (command == "dialog-type" && args.size() == 3)
        return dialogType(programDialog(args[1]), args[2]);
    if (command == "dialog-name" && args.size() == 2) {
        HWND dialog = programDialog(args[1]);
        HWND box = dialog ? fileNameBox(dialog) : nullptr;
        if (!box)
            return 1;
        std::printf("%s\n", rk::win::toUtf8(windowText(box)).c_str());
        return 0;
    }
    if (command == "dialog-folder" && args.size() == 2) {
        HWND dialog = programDialog(args[1]);
        const std::optional<std::wstring> folder = dialog ? folderOf(dialog) : std::nullopt;
        if (!folder)
            return 1;
        std::printf("%s\n", rk::win::toUtf8(*folder).c_str());
        return 0;
    }
    if (command == "dialog-filter" && args.size() == 2) {
        HWND dialog = programDialog(args[1]);
        HWND types = dialog ? GetDlgItem(dialog, kFileTypeCombo) : nullptr;
        if (!types)
            return 1;
        std::printf("%s\n", rk::win::toUtf8(windowText(types)).c_str());
        return 0;
    }
    if (command == "dialog-cancel" && args.size() == 2) {
        HWND dialog = programDialog(args[1]);
        return dialog && PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0) ? 0 : 1;
    }
    if (command == "box-text" && (args.size() == 2 || args.size() == 3)) {
        HWND box = nullptr;
        if (!waitFor([&] { return (box = programDialog(args[1])) != nullptr; },
                     timeoutOf(args, 2))) {
            std::fprintf(stderr, "no box \"%s\"\n", args[1].c_str());
            return 1;
        }
        const std::optional<std::wstring> text = boxText(box);
        if (!text)
            return 1;
        std::printf("%s\n", visibleLineEnds(*text).c_str());
        return 0;
    }
    if (command == "box-ok" && args.size() == 2)
        return boxOk(programDialog(args[1]));
    return std::nullopt;
}

}  // namespace rkprobe
