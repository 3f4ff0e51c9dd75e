// The handle owners' counts of held GDI and USER objects, and the main window's answer with
// them, which the long-run bench reads from outside the process.
#include "platform/win32/handles_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "platform/win32/control_ids_win.h"
#include "platform/win32/gdi_win.h"
#include "platform/win32/program_windows_win.h"

namespace rk::win {
namespace {

// "gdi user" held now beyond start, for readable failures.
std::string since(const HeldHandleCounts& start) {
    const HeldHandleCounts now = heldHandleCounts();
    return std::to_string(now.gdi - start.gdi) + " " + std::to_string(now.user - start.user);
}

std::string counts(int gdi, int user) {
    return std::to_string(gdi) + " " + std::to_string(user);
}

// Takes, moves, replaces, hands on and frees handles of one kind: the count follows what the
// owners hold at each step, and nothing is left counted at the end.
template <class Owner>
void expectCounted(const char* kind, int gdi, int user,
                   const std::function<typename Owner::Handle()>& make) {
    SCOPED_TRACE(kind);
    const HeldHandleCounts start = heldHandleCounts();
    {
        Owner none(typename Owner::Handle{});
        Owner owner(make());
        ASSERT_TRUE(owner);
        EXPECT_EQ(since(start), counts(gdi, user)) << "taken";
        Owner moved(std::move(owner));
        EXPECT_EQ(since(start), counts(gdi, user)) << "moved";
        moved.reset(make());
        EXPECT_EQ(since(start), counts(gdi, user)) << "replaced";
        Owner other(make());
        other = std::move(moved);
        EXPECT_EQ(since(start), counts(gdi, user)) << "moved over another";
        const auto handedOn = other.release();
        EXPECT_EQ(since(start), counts(0, 0)) << "handed on";
        Owner back(handedOn);
        EXPECT_EQ(since(start), counts(gdi, user)) << "taken back";
    }
    EXPECT_EQ(since(start), counts(0, 0)) << "freed";
}

void CALLBACK ignoreEvent(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {}

TEST(HeldHandleCounts, EveryOwnerCountsWhatItHolds) {
    expectCounted<UniqueGdiObject>("brush", 1, 0, [] { return CreateSolidBrush(RGB(1, 2, 3)); });
    expectCounted<UniqueGdiBitmap>("bitmap", 1, 0,
                                   [] { return CreateBitmap(4, 4, 1, 32, nullptr); });
    expectCounted<UniqueMemoryDc>("memory DC", 1, 0, [] { return CreateCompatibleDC(nullptr); });
    expectCounted<UniqueWindow>("window", 0, 1, [] {
        return CreateWindowExW(0, L"STATIC", L"counted", 0, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    });
    expectCounted<UniqueMenu>("menu", 0, 1, [] { return CreatePopupMenu(); });
    expectCounted<UniqueWinEventHook>("event hook", 0, 1, [] {
        return SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr,
                               ignoreEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
    });
    expectCounted<UniqueKernelHandle>("event (not counted)", 0, 0,
                                      [] { return CreateEventW(nullptr, TRUE, FALSE, nullptr); });
}

TEST(HeldHandleCounts, ScreenDcAndSurfaceHandlesCountWhileHeld) {
    const HeldHandleCounts start = heldHandleCounts();
    {
        ScreenDc screen;
        ASSERT_TRUE(screen);
        EXPECT_EQ(since(start), counts(1, 0));
    }
    Win32Gdi gdi;
    const GdiHandle dc = gdi.createCompatibleDc(0);
    ASSERT_NE(dc, 0u);
    BitmapInfoHeader header;
    header.biWidth = 8;
    header.biHeight = 8;
    header.biPlanes = 1;
    header.biBitCount = 24;
    std::uint8_t* bits = nullptr;
    const GdiHandle section = gdi.createDibSection(dc, header, bits);
    ASSERT_NE(section, 0u);
    const GdiHandle screen = gdi.screenDc();
    EXPECT_EQ(since(start), counts(3, 0));
    gdi.releaseScreenDc(screen);
    EXPECT_TRUE(gdi.deleteObject(section));
    EXPECT_TRUE(gdi.deleteDc(dc));
    EXPECT_EQ(since(start), counts(0, 0));
}

class NoEvents final : public WindowEvents {
  public:
    void controlNotified(std::string_view, ControlEvent) override {}
    void infoClicked(std::string_view) override {}
    void timerFired(UINT_PTR) override {}
    void trayNotified(LPARAM) override {}
    void taskbarCreated() override {}
    void mainDestroyed() override {}
    void windowGone(HWND) override {}
};

TEST(HeldHandleCounts, MainWindowAnswersWithThemPacked) {
    NoEvents events;
    Win32Controls controls;
    UniqueWindow main(createMainWindow(GetModuleHandleW(nullptr), {}, events, controls));
    ASSERT_TRUE(main);
    const UINT message = RegisterWindowMessageW(kHandleCountsMessage);
    // One more object of each kind, so that both halves of the answer are seen to move.
    UniqueGdiObject brush(CreateSolidBrush(RGB(4, 5, 6)));
    UniqueMenu menu(CreatePopupMenu());
    const auto answer = static_cast<std::uint64_t>(SendMessageW(main.get(), message, 0, 0));
    const HeldHandleCounts held = heldHandleCounts();
    EXPECT_GE(held.gdi, 1);
    EXPECT_GE(held.user, 2);
    EXPECT_EQ(answer >> 32, static_cast<std::uint32_t>(held.gdi));
    EXPECT_EQ(answer & 0xFFFFFFFFu, static_cast<std::uint32_t>(held.user));
    main.reset();
    // Its WM_DESTROY posts WM_QUIT; it must not reach another test.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

}  // namespace
}  // namespace rk::win
