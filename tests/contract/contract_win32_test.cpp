// The contract suites against the Win32 platform layer: real registry, windows and files.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "ansi_code_page_contract.h"
#include "capture_files_contract.h"
#include "clipboard_contract.h"
#include "files_contract.h"
#include "folders_contract.h"
#include "gdi_contract.h"
#include "platform/win32/capture_files_win.h"
#include "platform/win32/clipboard_win.h"
#include "platform/win32/files_win.h"
#include "platform/win32/folders_win.h"
#include "platform/win32/gdi_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/registry_win.h"
#include "platform/win32/text_files_win.h"
#include "platform/win32/text_win.h"
#include "platform/win32/window_system_win.h"
#include "registry_contract.h"
#include "text_files_contract.h"
#include "win32_test_support.h"
#include "window_system_contract.h"

namespace rk::contract {

constexpr wchar_t kScratchParent[] = L"Software\\RaidkitContractTest";

// Each test gets a key of its own under HKCU\Software\RaidkitContractTest, deleted afterwards.
class Win32RegistryHarness {
  public:
    Win32RegistryHarness() : leaf_(win::toWide(uniqueName("Case"))) {}
    ~Win32RegistryHarness() {
        const std::wstring key = std::wstring(kScratchParent) + L"\\" + leaf_;
        RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, kScratchParent);  // only once it is empty
        // Both views' copies, at the places where they are stored.
        for (const wchar_t* software : {L"SOFTWARE\\", L"SOFTWARE\\WOW6432Node\\"}) {
            const std::wstring parent = std::wstring(software) + L"RaidkitContractTest";
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, (parent + L"\\" + leaf_).c_str());
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, parent.c_str());
        }
    }
    Win32RegistryHarness(const Win32RegistryHarness&) = delete;
    Win32RegistryHarness& operator=(const Win32RegistryHarness&) = delete;

    Registry& registry() { return registry_; }
    RegRoot root() const { return RegRoot::CurrentUser; }
    std::string scratch() const { return win::toUtf8(kScratchParent) + "\\" + win::toUtf8(leaf_); }
    std::string machineScratch() const {
        return "SOFTWARE\\RaidkitContractTest\\" + win::toUtf8(leaf_);
    }

    // Straight through the registry API, as another program would write.
    void plant(std::string_view path, std::string_view name, RegType type,
               std::vector<std::uint8_t> bytes) {
        win::UniqueHKey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, win::toWide(path).c_str(), 0, nullptr, 0,
                                  KEY_WRITE, nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        std::vector<BYTE> data(bytes.begin(), bytes.end());
        if (type == RegType::Sz || type == RegType::ExpandSz) {
            const std::wstring wide = win::toWide(
                std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
            data.assign(reinterpret_cast<const BYTE*>(wide.data()),
                        reinterpret_cast<const BYTE*>(wide.data() + wide.size()));
        }
        const BYTE none = 0;
        ASSERT_EQ(
            RegSetValueExW(key.get(), win::toWide(name).c_str(), 0, static_cast<DWORD>(type),
                           data.empty() ? &none : data.data(), static_cast<DWORD>(data.size())),
            ERROR_SUCCESS);
    }

  private:
    win::Win32Registry registry_;
    std::wstring leaf_;
};

// Real top-level windows of this process, destroyed with the harness.
class Win32WindowHarness {
  public:
    Win32WindowHarness() { registerWindowClass(kClass, DefWindowProcW); }
    ~Win32WindowHarness() {
        for (auto& window : made_) {
            if (!IsWindow(window.get()))
                window.release();
        }
        made_.clear();
        pumpMessages();
    }
    Win32WindowHarness(const Win32WindowHarness&) = delete;
    Win32WindowHarness& operator=(const Win32WindowHarness&) = delete;

    WindowSystem& windows() { return windows_; }
    WindowId make(const std::string& title, bool visible) {
        const int offset = 40 + 24 * static_cast<int>(made_.size());
        HWND hwnd = CreateWindowExW(
            0, kClass, win::toWide(title).c_str(), WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0),
            offset, offset, 320, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        made_.emplace_back(hwnd);
        pumpMessages();
        return win::toWindowId(hwnd);
    }
    std::string unique(std::string_view base) { return uniqueName(base); }
    ProcessId ownerOfMade() const { return GetCurrentProcessId(); }
    bool exists(WindowId window) { return IsWindow(win::toHwnd(window)); }
    bool visible(WindowId window) { return IsWindowVisible(win::toHwnd(window)); }
    WindowId foreground() { return win::toWindowId(GetForegroundWindow()); }
    void rename(WindowId window, const std::string& title) {
        SetWindowTextW(win::toHwnd(window), win::toWide(title).c_str());
    }
    void destroy(WindowId window) {
        for (auto& made : made_) {
            if (made.get() == win::toHwnd(window))
                made.reset();
        }
    }
    void pump() { pumpMessages(); }
    bool announces(WindowChange change) {
        static const std::set<DWORD> events = announcedEvents();
        switch (change) {
            case WindowChange::Retitled:
                return events.contains(EVENT_OBJECT_NAMECHANGE);
            case WindowChange::ShownOrHidden:
                return events.contains(EVENT_OBJECT_SHOW) && events.contains(EVENT_OBJECT_HIDE);
            case WindowChange::Destroyed:
                return events.contains(EVENT_OBJECT_DESTROY);
        }
        return false;
    }

  private:
    static constexpr wchar_t kClass[] = L"RaidkitContractWindow";

    // The events this system sends at all for a window of ours, seen through a hook of the
    // test's own, so that the count is only held to what the system announces.
    static std::set<DWORD> announcedEvents() {
        static HWND watched = nullptr;
        static std::set<DWORD>* seen = nullptr;
        std::set<DWORD> events;
        seen = &events;
        win::UniqueWinEventHook hook(SetWinEventHook(
            EVENT_OBJECT_CREATE, EVENT_OBJECT_NAMECHANGE, nullptr,
            [](HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG, DWORD, DWORD) {
                if (hwnd == watched && object == OBJID_WINDOW)
                    seen->insert(event);
            },
            0, 0, WINEVENT_OUTOFCONTEXT));
        win::UniqueWindow window(CreateWindowExW(0, kClass, L"Announced", WS_OVERLAPPEDWINDOW, 0, 0,
                                                 100, 100, nullptr, nullptr,
                                                 GetModuleHandleW(nullptr), nullptr));
        watched = window.get();
        SetWindowTextW(watched, L"Announced again");
        ShowWindow(watched, SW_SHOWNOACTIVATE);
        ShowWindow(watched, SW_HIDE);
        window.reset();
        waitFor([&] { return events.contains(EVENT_OBJECT_DESTROY); }, pumpMessages,
                std::chrono::seconds(1));
        hook.reset();
        seen = nullptr;
        return events;
    }

    win::Win32WindowSystem windows_;
    std::vector<win::UniqueWindow> made_;
};

// Controls inside windows come and go all the time and are never listed: the count leaves
// them out. Wine 8 announces only creations, but those of controls too.
TEST(Win32WindowSystem, ChangeCountLeavesOutControlsInsideWindows) {
    Win32WindowHarness h;
    WindowSystem& ws = h.windows();
    // A hook of the test's own tells when an announcement has been delivered.
    static std::vector<HWND>* heard = nullptr;
    std::vector<HWND> created;
    heard = &created;
    win::UniqueWinEventHook hook(SetWinEventHook(
        EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr,
        [](HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
            if (heard != nullptr && object == OBJID_WINDOW && child == CHILDID_SELF)
                heard->push_back(hwnd);
        },
        0, 0, WINEVENT_OUTOFCONTEXT));
    ASSERT_TRUE(hook);
    auto heardOf = [&](HWND hwnd) {
        return waitFor([&] { return std::ranges::find(created, hwnd) != created.end(); },
                       pumpMessages);
    };

    const HWND parent = win::toHwnd(h.make(h.unique("Counted Parent"), false));
    ASSERT_TRUE(heardOf(parent));
    for (int i = 0; i < 5; ++i) pumpMessages();
    const std::uint64_t before = ws.changeCount();
    const HWND control = CreateWindowExW(0, L"STATIC", L"Control", WS_CHILD | WS_VISIBLE, 0, 0, 50,
                                         20, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(control, nullptr);
    // A top-level window after it: once that is counted, the control's announcement was read.
    const HWND after = win::toHwnd(h.make(h.unique("Counted After"), false));
    EXPECT_TRUE(heardOf(control)) << "the control's creation was not announced";
    ASSERT_TRUE(heardOf(after));
    for (int i = 0; i < 5; ++i) pumpMessages();
    EXPECT_EQ(ws.changeCount() - before, 1u);
    hook.reset();
    heard = nullptr;
}

class Win32FilesHarness {
  public:
    Files& files() { return files_; }
    std::string makeFile(std::string_view name) {
        const std::string path = folder_ / name;
        win::UniqueKernelHandle file(CreateFileW(win::toWide(path).c_str(), GENERIC_WRITE, 0,
                                                 nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                                 nullptr));
        EXPECT_TRUE(file) << path;
        return path;
    }
    std::string makeFolder(std::string_view name) {
        const std::string path = folder_ / name;
        EXPECT_TRUE(CreateDirectoryW(win::toWide(path).c_str(), nullptr)) << path;
        return path;
    }
    std::string missing(std::string_view name) { return folder_ / name; }

  private:
    ScratchFolder folder_;
    win::Win32Files files_;
};

class Win32FoldersHarness {
  public:
    Folders& folders() { return folders_; }
    std::string makeFolder(std::string_view name) {
        const std::string path = folder_ / name;
        EXPECT_TRUE(CreateDirectoryW(win::toWide(path).c_str(), nullptr)) << path;
        return path;
    }
    std::string makeFile(std::string_view name) {
        const std::string path = folder_ / name;
        EXPECT_TRUE(writeFileBytes(path, "x")) << path;
        return path;
    }
    std::string missing(std::string_view name) { return folder_ / name; }
    std::vector<std::string> namesIn(std::string_view folder) { return fileNamesIn(folder); }

  private:
    ScratchFolder folder_;
    win::Win32Folders folders_;
};

// A scratch folder, with files put in and read back past the layer under test.
class Win32ScratchFiles {
  public:
    std::string folder() { return folder_.path(); }
    std::string makeFolder(std::string_view name) {
        const std::string path = folder_ / name;
        EXPECT_TRUE(CreateDirectoryW(win::toWide(path).c_str(), nullptr)) << path;
        return path;
    }
    void plant(std::string_view path, std::string_view bytes) {
        EXPECT_TRUE(writeFileBytes(path, bytes)) << path;
    }
    std::optional<std::string> stored(std::string_view path) { return readFileBytes(path); }
    std::vector<std::string> namesIn(std::string_view folder) { return fileNamesIn(folder); }

  protected:
    // A base is made first and goes last: after the locks and handles of a harness's files.
    ScratchFolder folder_;
};

class Win32TextFilesHarness : public Win32ScratchFiles {
  public:
    TextFiles& files() { return files_; }
    void makeReadOnly(std::string_view path) {
        EXPECT_TRUE(SetFileAttributesW(win::toWide(path).c_str(), FILE_ATTRIBUTE_READONLY));
    }
    void lock(std::string_view path) {
        win::UniqueKernelHandle held(CreateFileW(win::toWide(path).c_str(),
                                                 GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_TRUE(held) << path;
        locks_[std::string(path)] = std::move(held);
    }
    void unlock(std::string_view path) { locks_.erase(std::string(path)); }

  private:
    std::map<std::string, win::UniqueKernelHandle> locks_;
    win::Win32TextFiles files_;
};

class Win32CodePageHarness {
  public:
    AnsiCodePage& codePage() { return codePage_; }
    bool isWindows1252() { return GetACP() == 1252; }

  private:
    win::Win32AnsiCodePage codePage_;
};

class Win32GdiHarness {
  public:
    Gdi& gdi() { return gdi_; }

  private:
    win::Win32Gdi gdi_;
};

// The clipboard of this desktop, owned by a hidden window as the program's main window owns it.
class Win32ClipboardHarness {
  public:
    Win32ClipboardHarness()
        : owner_(CreateWindowExW(0, L"STATIC", L"Raidkit clipboard owner", WS_POPUP, 0, 0, 10, 10,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)),
          clipboard_(win::toWindowId(owner_.get())) {
        EXPECT_TRUE(owner_);
    }
    ~Win32ClipboardHarness() { empty(); }
    Win32ClipboardHarness(const Win32ClipboardHarness&) = delete;
    Win32ClipboardHarness& operator=(const Win32ClipboardHarness&) = delete;

    Clipboard& clipboard() { return clipboard_; }
    Gdi& gdi() { return gdi_; }
    // As another program does it; the clipboard may be open elsewhere for a moment.
    void empty() {
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (OpenClipboard(nullptr)) {
                EXPECT_TRUE(EmptyClipboard());
                CloseClipboard();
                return;
            }
            Sleep(10);
        }
        ADD_FAILURE() << "the clipboard could not be opened";
    }
    // The change notice is posted to this thread; a short while of message handling lets it in.
    void handleNotices() {
        for (int round = 0; round < 20; ++round) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            Sleep(5);
        }
    }

  private:
    win::UniqueWindow owner_;
    win::Win32Gdi gdi_;
    win::Win32Clipboard clipboard_;
};

class Win32CaptureFilesHarness : public Win32ScratchFiles {
  public:
    CaptureFiles& files() { return files_; }
    // Windows keeps a creation time that is set; Wine on a Linux file system has nowhere to
    // keep it. Found out once, on a file of the harness's own.
    bool keepsCreationTimes() {
        static const bool keeps = [this] {
            const std::wstring probe = win::toWide(folder_ / "creation.probe");
            win::UniqueKernelHandle file(CreateFileW(probe.c_str(),
                                                     GENERIC_READ | FILE_WRITE_ATTRIBUTES, 0,
                                                     nullptr, CREATE_NEW, 0, nullptr));
            const FILETIME set{0x12345678, 0x01C31234};
            FILETIME got{};
            const bool kept = file && SetFileTime(file.get(), &set, nullptr, nullptr) &&
                              GetFileTime(file.get(), &got, nullptr, nullptr) &&
                              got.dwLowDateTime == set.dwLowDateTime &&
                              got.dwHighDateTime == set.dwHighDateTime;
            file.reset();
            DeleteFileW(probe.c_str());
            return kept;
        }();
        return keeps;
    }

  private:
    win::Win32CaptureFiles files_;
};

using Win32Registries = ::testing::Types<Win32RegistryHarness>;
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, RegistryContract, Win32Registries);
using Win32WindowSystems = ::testing::Types<Win32WindowHarness>;
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, WindowSystemContract, Win32WindowSystems);
using Win32FileSystems = ::testing::Types<Win32FilesHarness>;
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FilesContract, Win32FileSystems);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FoldersContract, ::testing::Types<Win32FoldersHarness>);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, TextFilesContract, ::testing::Types<Win32TextFilesHarness>);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, AnsiCodePageContract, ::testing::Types<Win32CodePageHarness>);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, GdiContract, ::testing::Types<Win32GdiHarness>);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, ClipboardContract, ::testing::Types<Win32ClipboardHarness>);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, CaptureFilesContract,
                               ::testing::Types<Win32CaptureFilesHarness>);

}  // namespace rk::contract
