#include "shell/launch.h"

#include <gtest/gtest.h>

namespace rk {
namespace {

struct CommandLineCase {
    const char* commandLine;
    const char* arguments;
    LaunchMode mode;
};

void PrintTo(const CommandLineCase& c, std::ostream* os) {
    *os << c.commandLine;
}

class LaunchArguments : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(LaunchArguments, SelectMode) {
    std::string args = argumentsOf(GetParam().commandLine);
    EXPECT_EQ(args, GetParam().arguments);
    EXPECT_EQ(launchModeOf(args), GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, LaunchArguments,
    ::testing::Values(
        CommandLineCase{"C:\\Games\\intro.exe go /D8 /C /R /I100 /U1", "go /D8 /C /R /I100 /U1",
                        LaunchMode::Relaunch},
        CommandLineCase{"\"C:\\Program Files\\Halvane\\intro.exe\" go /D8 /C /R /I100 /U1",
                        "go /D8 /C /R /I100 /U1", LaunchMode::Relaunch},
        CommandLineCase{"\"C:\\Program Files\\rk.exe\" /Mini", "/Mini", LaunchMode::Tray},
        CommandLineCase{"\"C:\\Program Files\\rk.exe\"/Mini", "/Mini", LaunchMode::Tray},
        CommandLineCase{"rk.exe   /Mini", "/Mini", LaunchMode::Tray},
        CommandLineCase{"rk.exe /mini", "/mini", LaunchMode::Normal},
        CommandLineCase{"rk.exe /Mini ", "/Mini ", LaunchMode::Normal},
        CommandLineCase{"rk.exe go /D8 /C /R /I100 /U1 x", "go /D8 /C /R /I100 /U1 x",
                        LaunchMode::Normal},
        CommandLineCase{"rk.exe GO /D8 /C /R /I100 /U1", "GO /D8 /C /R /I100 /U1",
                        LaunchMode::Normal},
        CommandLineCase{"rk.exe go  /D8 /C /R /I100 /U1", "go  /D8 /C /R /I100 /U1",
                        LaunchMode::Normal},
        CommandLineCase{"rk.exe", "", LaunchMode::Normal},
        CommandLineCase{"\"C:\\unclosed quote /Mini", "", LaunchMode::Normal}));

TEST(LaunchArguments, UnquotedOwnPathWithBlanksIsSkippedWhole) {
    const char* path = "C:\\Program Files\\Halvane\\Ironveil\\intro.exe";
    EXPECT_EQ(argumentsOf(std::string(path) + " go /D8 /C /R /I100 /U1", path),
              "go /D8 /C /R /I100 /U1");
    EXPECT_EQ(argumentsOf("c:\\program files\\halvane\\ironveil\\INTRO.EXE /Mini", path), "/Mini");
    EXPECT_EQ(argumentsOf(std::string(path), path), "");
    // Quoted, or another program's path: the usual splitting.
    EXPECT_EQ(argumentsOf(std::string("\"") + path + "\" /Mini", path), "/Mini");
    EXPECT_EQ(argumentsOf("C:\\Other\\x.exe /Mini", path), "/Mini");
}

TEST(RelaunchCommand, StartsOwnExeByFullPathWithExactlyMini) {
    LaunchCommand c = relaunchCommand("C:\\Games\\Ironveil", "intro");
    EXPECT_EQ(c.application, "C:\\Games\\Ironveil\\intro.exe");
    EXPECT_EQ(c.commandLine, "C:\\Games\\Ironveil\\intro.exe /Mini");
    EXPECT_EQ(c.show, ShowCommand::Minimized);
    EXPECT_EQ(argumentsOf(c.commandLine), "/Mini");
}

TEST(RelaunchCommand, QuotesPathWithBlanksSoNewCopySeesMini) {
    LaunchCommand c = relaunchCommand("C:\\Program Files\\Halvane\\Ironveil", "intro");
    EXPECT_EQ(c.commandLine, "\"C:\\Program Files\\Halvane\\Ironveil\\intro.exe\" /Mini");
    EXPECT_EQ(launchModeOf(argumentsOf(c.commandLine)), LaunchMode::Tray);
}

}  // namespace
}  // namespace rk
