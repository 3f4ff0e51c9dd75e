// Starting and ending programs, and where this copy runs from, on the real system.
#include "platform/win32/processes_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>

#include "contract_support.h"
#include "platform/error.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/text_win.h"
#include "win32_test_support.h"

namespace rk::win {
namespace {

TEST(Win32ProcessStart, MissingProgramRaisesFileNotFoundNamingIt) {
    contract::ScratchFolder folder;
    const std::string program = folder / "Kill.exe";
    Win32Processes processes;
    try {
        processes.start({program, program + " -f ironveil", ShowCommand::Hide});
        FAIL() << "no error raised";
    } catch (const RaidError& e) {
        EXPECT_EQ(e.number(), err::kFileNotFound);
        EXPECT_NE(e.description().find(program), std::string::npos) << e.description();
    }
}

TEST(Win32ProcessStart, CommandLineAloneFindsTheProgramAndDoesNotWait) {
    contract::ScratchFolder folder;
    const std::string started = folder / "started.txt";
    const std::string ended = folder / "ended.txt";
    const auto exists = [](const std::string& path) {
        return GetFileAttributesW(toWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    Win32Processes processes;
    // The program comes from the search path; the files prove it ran with our arguments. It
    // lives about 3 s: ping waits a second between its echoes.
    const auto begin = std::chrono::steady_clock::now();
    processes.start({"",
                     "cmd.exe /c echo started> \"" + started +
                         "\" & ping -n 4 127.0.0.1 >nul & echo ended> \"" + ended + "\"",
                     ShowCommand::Hide});
    const auto returned = std::chrono::steady_clock::now();
    EXPECT_FALSE(exists(ended)) << "start waited for the program to end";
    ASSERT_TRUE(contract::waitFor([&] { return exists(ended); }, [] { Sleep(20); },
                                  std::chrono::seconds(30)));
    const auto end = std::chrono::steady_clock::now();
    EXPECT_TRUE(exists(started));
    // Against the program's own life, not a fixed time: start took a small part of it.
    EXPECT_LT(returned - begin, (end - begin) / 2);
}

TEST(Win32ProcessEnd, TerminateEndsARunningProcess) {
    // A suspended child: it cannot end by itself before we end it.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"cmd.exe /c exit 0";
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                               CREATE_SUSPENDED, nullptr, nullptr, &startup, &info));
    UniqueKernelHandle process(info.hProcess);
    UniqueKernelHandle thread(info.hThread);

    Win32Processes processes;
    EXPECT_TRUE(processes.terminate(info.dwProcessId));
    ASSERT_EQ(WaitForSingleObject(process.get(), 10000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    EXPECT_EQ(code, 1u);
}

TEST(ProcessInfoPaths, SplitsFolderAndNameWithoutExtension) {
    struct Case {
        const char* path;
        const char* folder;
        const char* name;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Halvane\\Ironveil\\ivmovie.exe",
         "C:\\Program Files\\Halvane\\Ironveil", "ivmovie"},
        {"C:\\raidkit.exe", "C:", "raidkit"},
        {"\\\\server\\games\\raid.kit.exe", "\\\\server\\games", "raid.kit"},
        {"Z:/tmp/build/raidkit.EXE", "Z:/tmp/build", "raidkit"},
        {"raidkit", "", "raidkit"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(folderOf(c.path), c.folder) << c.path;
        EXPECT_EQ(exeNameOf(c.path), c.name) << c.path;
    }
}

TEST(ProcessInfoPaths, DescribesThisRunningCopy) {
    const ProcessInfo info = currentProcessInfo();
    EXPECT_EQ(info.exeName, "contract_win32_tests");
    ASSERT_FALSE(info.folder.empty());
    EXPECT_NE(info.folder.back(), '\\');
    const std::string exe = info.folder + "\\" + info.exeName + ".exe";
    EXPECT_NE(GetFileAttributesW(toWide(exe).c_str()), INVALID_FILE_ATTRIBUTES) << exe;
    EXPECT_NE(info.commandLine.find("contract_win32_tests"), std::string::npos) << info.commandLine;
}

}  // namespace
}  // namespace rk::win
