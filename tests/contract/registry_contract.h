// What every Registry must do, whichever system is behind it. Instantiated with a harness type:
//
//   struct Harness {
//       Registry& registry();
//       RegRoot root() const;
//       std::string scratch() const;  // a key path of this test's own, absent at first
//       // The same below HKEY_LOCAL_MACHINE\SOFTWARE, where the two views differ.
//       std::string machineScratch() const;
//       // Stores a value the way another program would, bypassing the Registry under test;
//       // text types take UTF-8 (NULs included) and are stored with exactly those characters.
//       void plant(std::string_view path, std::string_view name, RegType type,
//                  std::vector<std::uint8_t> bytes);
//   };
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "contract_support.h"
#include "platform/registry.h"

namespace rk::contract {

template <class Harness>
class RegistryContract : public ::testing::Test {
  protected:
    Registry& reg() { return h.registry(); }
    std::string path(std::string_view tail = {}) const {
        return tail.empty() ? h.scratch() : h.scratch() + "\\" + std::string(tail);
    }

    // Writes a value through the Registry under test, creating the key.
    void write(std::string_view name, RegType type, std::string_view bytes) {
        RegKey key = reg().createKey(h.root(), path(), RegView::Native);
        ASSERT_NE(key, 0u);
        const auto data = bytesOf(bytes);
        EXPECT_TRUE(reg().setValue(key, name, type, data));
        reg().closeKey(key);
    }

    std::optional<RegData> read(std::string_view name) {
        RegKey key = reg().openKey(h.root(), path(), RegView::Native);
        if (key == 0)
            return std::nullopt;
        auto data = reg().queryValue(key, name);
        reg().closeKey(key);
        return data;
    }

    // Text as a reader takes it: up to the first NUL.
    static std::string upToNul(const RegData& data) {
        const std::string all = textOf(data.bytes);
        return all.substr(0, all.find('\0'));
    }

    Harness h;
};

TYPED_TEST_SUITE_P(RegistryContract);

TYPED_TEST_P(RegistryContract, MissingKeyOpensAsNoneAndHasNoValues) {
    EXPECT_EQ(this->reg().openKey(this->h.root(), this->path("Absent"), RegView::Native), 0u);
    EXPECT_FALSE(this->reg().queryValue(0, "ScreenFolder").has_value());
    EXPECT_FALSE(this->read("ScreenFolder").has_value());
}

TYPED_TEST_P(RegistryContract, CreateKeyMakesEveryMissingKeyAlongThePath) {
    RegKey key =
        this->reg().createKey(this->h.root(), this->path("One\\Two\\Three"), RegView::Native);
    ASSERT_NE(key, 0u);
    this->reg().closeKey(key);
    for (const char* tail : {"One", "One\\Two", "One\\Two\\Three", "one\\TWO\\three"}) {
        RegKey opened = this->reg().openKey(this->h.root(), this->path(tail), RegView::Native);
        EXPECT_NE(opened, 0u) << tail;
        this->reg().closeKey(opened);
    }
}

TYPED_TEST_P(RegistryContract, MissingValueInAnExistingKeyIsNone) {
    this->write("Present", RegType::Sz, "x");
    EXPECT_FALSE(this->read("Absent").has_value());
}

TYPED_TEST_P(RegistryContract, TextWrittenReadsBackUnchanged) {
    // Text written without a terminator may come back with one: Wine adds it when it stores
    // the value, Windows returns the data as written. Both are correct, nothing else is.
    const std::string texts[] = {
        "Bmp",
        "",
        "C:\\Program Files\\Halvane\\Ironveil\\Ironveil\\ScreenShot",
        "has just signed in.",
        "K\xC3\xA4se \xE2\x82\xAC \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9D\x84\x9E",  // Käse € 日本 𝄞
    };
    for (const std::string& text : texts) {
        this->write("Text", RegType::Sz, text);
        const auto data = this->read("Text");
        ASSERT_TRUE(data.has_value()) << text;
        EXPECT_EQ(data->type, RegType::Sz) << text;
        const std::string got = textOf(data->bytes);
        EXPECT_TRUE(got == text || got == text + '\0')
            << "wrote \"" << text << "\", got " << ::testing::PrintToString(got);
    }
}

TYPED_TEST_P(RegistryContract, TerminatedTextFromAnotherProgramKeepsItsNul) {
    this->h.plant(this->path(), "Foreign", RegType::Sz, bytesOf(std::string_view("Jpg\0", 4)));
    const auto data = this->read("Foreign");
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(data->type, RegType::Sz);
    EXPECT_EQ(textOf(data->bytes), std::string("Jpg\0", 4));
}

TYPED_TEST_P(RegistryContract, NulInTheMiddleComesBackAsStored) {
    this->h.plant(this->path(), "Split", RegType::Sz, bytesOf(std::string_view("ab\0cd\0", 6)));
    const auto data = this->read("Split");
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(textOf(data->bytes), std::string("ab\0cd\0", 6));
    EXPECT_EQ(this->upToNul(*data), "ab");
}

TYPED_TEST_P(RegistryContract, BinaryAndDwordComeBackRawWithTheirType) {
    struct Case {
        const char* name;
        RegType type;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"Two", RegType::Binary, {0x2C, 0x01}},
        {"Empty", RegType::Binary, {}},
        {"Long", RegType::Binary, {1, 2, 3, 4, 5, 6, 0, 0xFF}},
        {"Dword", RegType::Dword, {0x2C, 0x01, 0x00, 0x00}},
    };
    for (const Case& c : cases) this->h.plant(this->path(), c.name, c.type, c.bytes);
    for (const Case& c : cases) {
        const auto data = this->read(c.name);
        ASSERT_TRUE(data.has_value()) << c.name;
        EXPECT_EQ(data->type, c.type) << c.name;
        EXPECT_EQ(data->bytes, c.bytes) << c.name;
    }
}

TYPED_TEST_P(RegistryContract, ValueNamesAndKeyPathsIgnoreCase) {
    this->write("ScreenyFormat", RegType::Sz, "Bmp");
    RegKey key = this->reg().openKey(this->h.root(), this->path(), RegView::Native);
    ASSERT_NE(key, 0u);
    const auto data = this->reg().queryValue(key, "SCREENYFORMAT");
    this->reg().closeKey(key);
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(this->upToNul(*data), "Bmp");
}

TYPED_TEST_P(RegistryContract, RewritingAValueReplacesTypeAndData) {
    this->h.plant(this->path(), "MSN", RegType::Binary, {1, 2, 3, 4, 5, 6, 7, 8});
    this->write("MSN", RegType::Sz, "True");
    const auto data = this->read("MSN");
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(data->type, RegType::Sz);
    EXPECT_EQ(this->upToNul(*data), "True");
}

TYPED_TEST_P(RegistryContract, KeyFromOpenKeyIsReadOnly) {
    this->write("KeyBind1", RegType::Sz, "old");
    RegKey key = this->reg().openKey(this->h.root(), this->path(), RegView::Native);
    ASSERT_NE(key, 0u);
    const auto data = bytesOf("new");
    EXPECT_FALSE(this->reg().setValue(key, "KeyBind1", RegType::Sz, data));
    this->reg().closeKey(key);
    EXPECT_EQ(this->upToNul(*this->read("KeyBind1")), "old");
}

TYPED_TEST_P(RegistryContract, NoKeyRefusesWrites) {
    const auto data = bytesOf("x");
    EXPECT_FALSE(this->reg().setValue(0, "Value", RegType::Sz, data));
    this->reg().closeKey(0);  // closing "none" is harmless
}

// A 32-bit program's HKEY_LOCAL_MACHINE\SOFTWARE is stored below SOFTWARE\WOW6432Node; the
// native view keeps its own values beside it.
TYPED_TEST_P(RegistryContract, The32BitViewOfSoftwareIsStoredApartFromTheNativeOne) {
    Registry& reg = this->reg();
    const std::string path = this->h.machineScratch();
    const std::string stored32 =
        "SOFTWARE\\WOW6432Node" + path.substr(std::string("SOFTWARE").size());
    auto write = [&](RegView view, std::string_view text) {
        RegKey key = reg.createKey(RegRoot::LocalMachine, path, view);
        ASSERT_NE(key, 0u);
        EXPECT_TRUE(reg.setValue(key, "View", RegType::Sz, bytesOf(text)));
        reg.closeKey(key);
    };
    auto read = [&](std::string_view where, RegView view) -> std::string {
        RegKey key = reg.openKey(RegRoot::LocalMachine, where, view);
        if (key == 0)
            return "<no key>";
        auto data = reg.queryValue(key, "View");
        reg.closeKey(key);
        return data ? this->upToNul(*data) : "<no value>";
    };
    write(RegView::Wow32, "32");
    EXPECT_EQ(read(path, RegView::Wow32), "32");
    EXPECT_EQ(read(stored32, RegView::Native), "32");
    EXPECT_EQ(read(path, RegView::Native), "<no key>");
    write(RegView::Native, "64");
    EXPECT_EQ(read(path, RegView::Native), "64");
    EXPECT_EQ(read(path, RegView::Wow32), "32");
}

REGISTER_TYPED_TEST_SUITE_P(RegistryContract, MissingKeyOpensAsNoneAndHasNoValues,
                            CreateKeyMakesEveryMissingKeyAlongThePath,
                            MissingValueInAnExistingKeyIsNone, TextWrittenReadsBackUnchanged,
                            TerminatedTextFromAnotherProgramKeepsItsNul,
                            NulInTheMiddleComesBackAsStored, BinaryAndDwordComeBackRawWithTheirType,
                            ValueNamesAndKeyPathsIgnoreCase, RewritingAValueReplacesTypeAndData,
                            KeyFromOpenKeyIsReadOnly, NoKeyRefusesWrites,
                            The32BitViewOfSoftwareIsStoredApartFromTheNativeOne);

}  // namespace rk::contract
