// The test tools' own parsers: what Kill.exe records as its arguments, and rkdriver's key names.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "command_line.h"
#include "key_names.h"

namespace {

struct ArgsCase {
    const wchar_t* command_line;
    const wchar_t* args;
};

class ArgsAfterProgram : public testing::TestWithParam<ArgsCase> {};

TEST_P(ArgsAfterProgram, KeepsTheArgumentsVerbatim) {
    EXPECT_EQ(e2e::args_after_program(GetParam().command_line), GetParam().args);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ArgsAfterProgram,
    testing::Values(ArgsCase{LR"(C:\dir\Kill.exe -f ironveil)", L"-f ironveil"},
                    ArgsCase{LR"("C:\Program Files\dir\Kill.exe" -f ironveil)", L"-f ironveil"},
                    ArgsCase{LR"("C:\a b\Kill.exe"-f ironveil)", L"-f ironveil"},
                    ArgsCase{L"Kill.exe \t -f  ironveil ", L"-f  ironveil "},
                    ArgsCase{LR"(C:\dir\Kill.exe)", L""}, ArgsCase{LR"(C:\dir\Kill.exe   )", L""},
                    ArgsCase{LR"("C:\a b\Kill.exe)", L""}, ArgsCase{L"", L""}));

struct KeyCase {
    const char* text;
    std::optional<e2e::KeySpec> key;
};

class ParseKey : public testing::TestWithParam<KeyCase> {};

TEST_P(ParseKey, GivesTheCodesSendInputNeeds) {
    const auto got = e2e::parse_key(GetParam().text);
    const auto& want = GetParam().key;
    ASSERT_EQ(got.has_value(), want.has_value()) << GetParam().text;
    if (want) {
        EXPECT_EQ(got->vk, want->vk) << GetParam().text;
        EXPECT_EQ(got->scan, want->scan) << GetParam().text;
        EXPECT_EQ(got->extended, want->extended) << GetParam().text;
    }
}

INSTANTIATE_TEST_SUITE_P(Names, ParseKey,
                         testing::Values(KeyCase{"F9", e2e::KeySpec{0x78, 0, false}},
                                         KeyCase{"f12", e2e::KeySpec{0x7B, 0, false}},
                                         KeyCase{"F24", e2e::KeySpec{0x87, 0, false}},
                                         KeyCase{"F25", std::nullopt}, KeyCase{"F0", std::nullopt},
                                         KeyCase{"Fx", std::nullopt},
                                         KeyCase{"PrintScreen", e2e::KeySpec{0x2C, 0x37, true}},
                                         KeyCase{"pause", e2e::KeySpec{0x13, 0x45, false}},
                                         KeyCase{"NumLock", e2e::KeySpec{0x90, 0x45, true}},
                                         KeyCase{"ScrollLock", e2e::KeySpec{0x91, 0, false}},
                                         KeyCase{"a", e2e::KeySpec{0x41, 0, false}},
                                         KeyCase{"7", e2e::KeySpec{0x37, 0, false}},
                                         KeyCase{"Delete", e2e::KeySpec{0x2E, 0, true}},
                                         KeyCase{"", std::nullopt},
                                         KeyCase{"Pausex", std::nullopt}));

// A key given by number is sent exactly like the same key given by name.
INSTANTIATE_TEST_SUITE_P(HexCodes, ParseKey,
                         testing::Values(KeyCase{"0x13", e2e::KeySpec{0x13, 0x45, false}},
                                         KeyCase{"0x2c", e2e::KeySpec{0x2C, 0x37, true}},
                                         KeyCase{"0x2E", e2e::KeySpec{0x2E, 0, true}},
                                         KeyCase{"0x7A", e2e::KeySpec{0x7A, 0, false}},
                                         KeyCase{"0x", std::nullopt}, KeyCase{"0x0", std::nullopt},
                                         KeyCase{"0x1FF", std::nullopt},
                                         KeyCase{"0xZZ", std::nullopt},
                                         KeyCase{"13", std::nullopt}));

}  // namespace
