// Starting and ending programs, and where this copy runs from, on the real system.
#include "platform/win32/processes_win.h"

#include <gtest/gtest.h>
#include <windows.h>

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
    const std::string marker = folder / "started.txt";
    Win32Processes processes;
    // The program comes from the search path; the redirect proves it ran with our arguments.
    processes.start({"", "cmd.exe /c echo started> \"" + marker + "\"", ShowCommand::Hide});
    const auto exists = [&] {
        return GetFileAttributesW(toWide(marker).c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    EXPECT_TRUE(contract::waitFor(
        exists, [] { Sleep(20); }, std::chrono::seconds(30)));
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
