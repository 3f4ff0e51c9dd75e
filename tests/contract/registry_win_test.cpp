// What the Win32 registry stores and how it reads data no other implementation meets: the
// stored format itself, and odd-sized text.
#include "platform/win32/registry_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "contract_support.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/text_win.h"
#include "win32_test_support.h"

namespace rk::win {
namespace {

bool runningOnWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

class Win32RegistryFormat : public ::testing::Test {
  protected:
    Win32RegistryFormat()
        : path_(L"Software\\RaidkitContractTest\\" + toWide(contract::uniqueName("Format"))) {
        RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        raw_.put(), nullptr);
    }
    ~Win32RegistryFormat() override {
        raw_.reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\RaidkitContractTest");
    }

    // The stored bytes as the registry holds them, read without any of our code.
    std::vector<BYTE> stored(const wchar_t* name, DWORD& type) {
        DWORD size = 0;
        if (RegQueryValueExW(raw_.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
            return {};
        }
        std::vector<BYTE> data(size);
        RegQueryValueExW(raw_.get(), name, nullptr, &type, data.data(), &size);
        data.resize(size);
        return data;
    }

    void write(std::string_view name, std::string_view text) {
        RegKey key = registry_.createKey(RegRoot::CurrentUser, toUtf8(path_), RegView::Native);
        ASSERT_NE(key, 0u);
        const auto bytes = contract::bytesOf(text);
        EXPECT_TRUE(registry_.setValue(key, name, RegType::Sz, bytes));
        registry_.closeKey(key);
    }

    Win32Registry registry_;
    std::wstring path_;
    UniqueHKey raw_;
};

TEST_F(Win32RegistryFormat, TextIsStoredAsUtf16WithoutTerminator) {
    write("KeyBind1", "gg \xE2\x82\xAC");  // "gg €"
    DWORD type = 0;
    const auto data = stored(L"KeyBind1", type);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    // Wine terminates text values as it stores them (even the raw NT query sees the NUL), so
    // there the terminator cannot be told from one of ours; Windows keeps the data as given.
    const std::size_t expected = runningOnWine() ? 10 : 8;
    ASSERT_EQ(data.size(), expected);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(data.data()), 4), L"gg \u20AC");
}

TEST_F(Win32RegistryFormat, EmptyTextStoresNoCharacters) {
    write("JPGQuality", "");
    DWORD type = 0;
    const auto data = stored(L"JPGQuality", type);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_TRUE(data.empty()) << data.size();
}

TEST_F(Win32RegistryFormat, OddTrailingByteOfTextIsDropped) {
    const BYTE data[] = {'B', 0, 'm', 0, 'p', 0, 'x'};
    ASSERT_EQ(RegSetValueExW(raw_.get(), L"Odd", 0, REG_SZ, data, sizeof data), ERROR_SUCCESS);
    RegKey key = registry_.openKey(RegRoot::CurrentUser, toUtf8(path_), RegView::Native);
    const auto value = registry_.queryValue(key, "Odd");
    registry_.closeKey(key);
    ASSERT_TRUE(value.has_value());
    const std::string text = contract::textOf(value->bytes);
    EXPECT_EQ(text.substr(0, text.find('\0')), "Bmp");
}

TEST_F(Win32RegistryFormat, LongTextReadsWhole) {
    const std::string longText(20000, 'x');
    write("Long", longText);
    RegKey key = registry_.openKey(RegRoot::CurrentUser, toUtf8(path_), RegView::Native);
    const auto value = registry_.queryValue(key, "Long");
    registry_.closeKey(key);
    ASSERT_TRUE(value.has_value());
    const std::string text = contract::textOf(value->bytes);
    EXPECT_EQ(text.substr(0, text.find('\0')), longText);
}

}  // namespace
}  // namespace rk::win
