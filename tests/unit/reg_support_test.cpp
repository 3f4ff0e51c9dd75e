#include "settings/reg_support.h"

#include <gtest/gtest.h>

#include "fake_registry.h"

namespace rk {
namespace {

constexpr auto HKLM = RegRoot::LocalMachine;
constexpr auto HKCU = RegRoot::CurrentUser;
const std::string kKey(kSettingsKey);

std::vector<std::uint8_t> bytes(std::string_view s) {
    return {s.begin(), s.end()};
}

struct StoredValue {
    const char* what;
    RegType type;
    std::vector<std::uint8_t> data;
    const char* expected;
};

void PrintTo(const StoredValue& v, std::ostream* os) {
    *os << v.what;
}

class StoredValueReading : public ::testing::TestWithParam<StoredValue> {};

TEST_P(StoredValueReading, ReadsAsText) {
    FakeRegistry reg;
    reg.put(HKLM, kKey, "Value", GetParam().type, GetParam().data, RegView::Wow32);
    EXPECT_EQ(ReadRegString(reg, HKLM, kKey, "Value"), GetParam().expected);
    EXPECT_EQ(reg.openHandles(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    RegSupport, StoredValueReading,
    ::testing::Values(
        StoredValue{"text without terminator", RegType::Sz, bytes("Bmp"), "Bmp"},
        StoredValue{"text with terminator", RegType::Sz, {'J', 'p', 'g', 0}, "Jpg"},
        StoredValue{"NUL in the middle", RegType::Sz, {'a', 'b', 0, 'c', 'd'}, "ab"},
        StoredValue{"empty text", RegType::Sz, {}, ""},
        StoredValue{"UTF-8 text", RegType::Sz, bytes("K\xC3\xA4se \xE2\x82\xAC"),
                    "K\xC3\xA4se \xE2\x82\xAC"},
        StoredValue{"binary 2C 01", RegType::Binary, {0x2C, 0x01}, "300"},
        StoredValue{"binary FF FF", RegType::Binary, {0xFF, 0xFF}, "-1"},
        StoredValue{"binary one byte", RegType::Binary, {0x05}, "5"},
        StoredValue{"binary empty", RegType::Binary, {}, "0"},
        StoredValue{"binary four bytes uses two", RegType::Binary, {0x01, 0x00, 0x7F, 0x7F}, "1"},
        StoredValue{"binary longer than the buffer", RegType::Binary, {1, 2, 3, 4, 5, 6}, ""},
        StoredValue{"dword", RegType::Dword, {0x2C, 0x01, 0, 0}, ""},
        StoredValue{"expandable text is another type", RegType::ExpandSz, bytes("x"), ""}),
    [](const auto& info) {
        std::string name;
        for (char c : std::string(info.param.what)) name += std::isalnum(c) ? c : '_';
        return name;
    });

TEST(RegSupport, MissingKeyOrValueReadsEmpty) {
    FakeRegistry reg;
    EXPECT_EQ(ReadRegString(reg, HKLM, kKey, "ScreenFolder"), "");
    reg.putText(HKLM, kKey, "Other", "x", RegView::Wow32);
    EXPECT_EQ(ReadRegString(reg, HKLM, kKey, "ScreenFolder"), "");
    EXPECT_EQ(reg.openHandles(), 0);
}

TEST(RegSupport, FirstWriteCreatesWholePathAndStoresTextWithoutTerminator) {
    FakeRegistry reg;
    WriteRegString(reg, HKLM, kKey, "KeyBind1", "gg $a");
    EXPECT_TRUE(reg.keyExists(HKLM, "SOFTWARE\\Kestrane", RegView::Wow32));
    EXPECT_TRUE(reg.keyExists(HKLM, "SOFTWARE\\Kestrane\\Kestrane Games", RegView::Wow32));
    auto stored = reg.get(HKLM, kKey, "KeyBind1", RegView::Wow32);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type, RegType::Sz);
    EXPECT_EQ(stored->bytes, bytes("gg $a"));
    EXPECT_EQ(reg.openHandles(), 0);
}

TEST(RegSupport, EmptyTextIsStoredAsZeroBytesAndReadsBackEmpty) {
    FakeRegistry reg;
    reg.putText(HKLM, kKey, "JPGQuality", "75", RegView::Wow32);
    WriteRegString(reg, HKLM, kKey, "JPGQuality", "");
    auto stored = reg.get(HKLM, kKey, "JPGQuality", RegView::Wow32);
    ASSERT_TRUE(stored);
    EXPECT_TRUE(stored->bytes.empty());
    EXPECT_EQ(ReadRegString(reg, HKLM, kKey, "JPGQuality"), "");
}

TEST(RegSupport, ValueNamesIgnoreCase) {
    FakeRegistry reg;
    WriteRegString(reg, HKLM, kKey, "msn title", "is online");
    EXPECT_EQ(ReadRegString(reg, HKLM, kKey, "MSN Title"), "is online");
}

TEST(RegSupportPerUser, MachineWideWriteIsKeptPerUserToo) {
    FakeRegistry reg;
    WriteSetting(reg, "MSN", "True");
    EXPECT_EQ(reg.get(HKLM, kKey, "MSN", RegView::Wow32)->bytes, bytes("True"));
    EXPECT_EQ(reg.get(HKCU, kKey, "MSN")->bytes, bytes("True"));
}

TEST(RegSupportPerUser, SettingSurvivesWhenMachineWideWritesAreRefused) {
    FakeRegistry reg;
    reg.putText(HKLM, kKey, "KeyBind2", "old line", RegView::Wow32);
    reg.denyWrites(HKLM);
    WriteSetting(reg, "KeyBind2", "new line");
    EXPECT_EQ(reg.get(HKLM, kKey, "KeyBind2", RegView::Wow32)->bytes, bytes("old line"));
    EXPECT_EQ(ReadSetting(reg, "KeyBind2"), "new line");
    EXPECT_EQ(reg.openHandles(), 0);
}

TEST(RegSupportPerUser, PerUserValueWinsEvenWhenEmpty) {
    FakeRegistry reg;
    reg.putText(HKLM, kKey, "JPGQuality", "80", RegView::Wow32);
    reg.putText(HKCU, kKey, "JPGQuality", "");
    EXPECT_EQ(ReadSetting(reg, "JPGQuality"), "");
}

TEST(RegSupportPerUser, MachineWideValueIsReadWhereNoPerUserValueExists) {
    FakeRegistry reg;
    reg.putText(HKLM, kKey, "ScreenyFormat", "Bmp", RegView::Wow32);
    reg.putText(HKCU, kKey, "MSN", "True");  // the per-user key exists, this value does not
    EXPECT_EQ(ReadSetting(reg, "ScreenyFormat"), "Bmp");
}

TEST(RegSupportPerUser, RefusedEverywhereIsSilentAndReadsOlderText) {
    FakeRegistry reg;
    reg.putText(HKLM, kKey, "KeyBind3", "older", RegView::Wow32);
    reg.denyWrites(HKLM);
    reg.denyWrites(HKCU);
    WriteSetting(reg, "KeyBind3", "newer");
    EXPECT_EQ(ReadSetting(reg, "KeyBind3"), "older");
}

// Where a machine-wide read finds a value, by which places hold one. The places, in the
// order a read looks: per user, the VirtualStore copy, the 32-bit view; the 64-bit view is never
// the game's.
struct Places {
    const char* perUser;
    const char* virtualStore;
    const char* view32;
    const char* view64;
    const char* expected;
};

TEST(RegSupportViews, MachineWideReadTakesTheFirstPlaceThatHoldsTheValue) {
    const std::string store = VirtualStorePath(kKey);
    const Places cases[] = {
        {"user", "store", "32", "64", "user"}, {nullptr, "store", "32", "64", "store"},
        {nullptr, nullptr, "32", "64", "32"},  {nullptr, nullptr, nullptr, "64", ""},
        {"", "store", "32", nullptr, ""},  // an empty per-user text is the player's own
        {nullptr, "", "32", nullptr, ""},
    };
    for (const Places& c : cases) {
        FakeRegistry reg;
        if (c.perUser)
            reg.putText(HKCU, kKey, "MSN Title", c.perUser);
        if (c.virtualStore)
            reg.putText(HKCU, store, "MSN Title", c.virtualStore);
        if (c.view32)
            reg.putText(HKLM, kKey, "MSN Title", c.view32, RegView::Wow32);
        if (c.view64)
            reg.putText(HKLM, kKey, "MSN Title", c.view64, RegView::Native);
        EXPECT_EQ(ReadSetting(reg, "MSN Title"), c.expected)
            << (c.perUser ? c.perUser : "-") << " " << (c.virtualStore ? c.virtualStore : "-");
        EXPECT_EQ(reg.openHandles(), 0);
    }
}

TEST(RegSupportViews, WritesReachThe32BitViewAndPerUserCopyOnly) {
    FakeRegistry reg;
    reg.putText(HKCU, VirtualStorePath(kKey), "KeyBind1", "from a settings tool");
    WriteSetting(reg, "KeyBind1", "gg");
    WriteSetting(reg, "MSN", "True");
    EXPECT_EQ(
        reg.get(HKLM, "SOFTWARE\\WOW6432Node\\Kestrane\\Kestrane Games\\Ironveil", "MSN")->bytes,
        bytes("True"));
    EXPECT_EQ(reg.valueCount(HKLM, "SOFTWARE\\Kestrane"), 0);
    EXPECT_EQ(reg.valueCount(HKCU, "Software\\Classes\\VirtualStore"), 1);
    EXPECT_EQ(reg.get(HKCU, VirtualStorePath(kKey), "KeyBind1")->bytes,
              bytes("from a settings tool"));
    EXPECT_EQ(ReadSetting(reg, "KeyBind1"), "gg");
}

TEST(RegSupportViews, VirtualStorePathMirrorsThe32BitKeyUnderTheUser) {
    EXPECT_EQ(VirtualStorePath(kKey),
              "Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\WOW6432Node\\Kestrane\\"
              "Kestrane Games\\Ironveil");
    EXPECT_EQ(VirtualStorePath("software\\X"),
              "Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\WOW6432Node\\X");
    EXPECT_EQ(VirtualStorePath("SYSTEM\\X"), "");
    EXPECT_EQ(VirtualStorePath("SOFTWAREX"), "");
}

}  // namespace
}  // namespace rk
