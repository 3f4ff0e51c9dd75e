// Registry values of any type and data, read through QueryRegValue and ReadRegString from the
// fake registry, wherever the settings store looks for them; and texts written and read back.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fake_registry.h"
#include "fuzz_check.h"
#include "settings/reg_support.h"

namespace {

using rk::RegRoot;
using rk::RegType;
using rk::RegView;

// The value's text as the store defines it: text up to the first NUL, a short binary value's
// first two bytes as a signed number, "" for anything else.
std::string textOf(RegType type, const std::vector<std::uint8_t>& bytes) {
    if (type == RegType::Sz) {
        std::string text;
        for (std::uint8_t b : bytes) {
            if (b == 0)
                break;
            text += static_cast<char>(b);
        }
        return text;
    }
    if (type == RegType::Binary && bytes.size() <= 4) {
        const int low = bytes.size() > 0 ? bytes[0] : 0;
        const int high = bytes.size() > 1 ? bytes[1] : 0;
        const int value = high * 256 + low;
        return std::to_string(value >= 32768 ? value - 65536 : value);
    }
    return "";
}

// Where a machine-wide setting may be found, in the order the store looks.
struct Place {
    RegRoot root;
    const char* path;
    RegView view;
};
const Place kPlaces[] = {
    {RegRoot::CurrentUser, "SOFTWARE\\Kestrane\\Kestrane Games\\Ironveil", RegView::Native},
    {RegRoot::CurrentUser,
     "Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\WOW6432Node\\Kestrane\\Kestrane "
     "Games\\Ironveil",
     RegView::Native},
    {RegRoot::LocalMachine, "SOFTWARE\\Kestrane\\Kestrane Games\\Ironveil", RegView::Wow32},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    rk::FakeRegistry reg;
    const std::string name = in.ConsumeBool() ? "JPGQuality" : in.ConsumeRandomLengthString(20);

    // The value in some of the places, each with its own type and data.
    std::optional<std::string> first;
    const std::uint8_t placed = in.ConsumeIntegral<std::uint8_t>();
    for (int p = 0; p < 3; ++p) {
        if (!(placed & (1u << p)))
            continue;
        const auto type = static_cast<RegType>(in.ConsumeIntegralInRange<std::uint32_t>(0, 11));
        const std::vector<std::uint8_t> bytes =
            in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange<std::size_t>(0, 64));
        reg.put(kPlaces[p].root, kPlaces[p].path, name, type, bytes, kPlaces[p].view);
        if (!first)
            first = textOf(type, bytes);

        const rk::RegKey key = reg.openKey(kPlaces[p].root, kPlaces[p].path, kPlaces[p].view);
        const std::optional<std::string> queried = rk::QueryRegValue(reg, key, name);
        reg.closeKey(key);
        FUZZ_CHECK(
            queried == textOf(type, bytes),
            "type " << static_cast<std::uint32_t>(type) << " data "
                    << rk::fuzz::shown({reinterpret_cast<const char*>(bytes.data()), bytes.size()})
                    << " reads as " << rk::fuzz::shown(queried.value_or("<nothing>"))
                    << ", expected " << rk::fuzz::shown(textOf(type, bytes)));
    }

    const std::string read = rk::ReadSetting(reg, name);
    FUZZ_CHECK(read == first.value_or(""), "the setting reads as "
                                               << rk::fuzz::shown(read) << ", expected "
                                               << rk::fuzz::shown(first.value_or("")));
    FUZZ_CHECK(reg.openHandles() == 0, "a read left " << reg.openHandles() << " keys open");

    // A text the store writes reads back up to its first NUL, machine-wide even where only the
    // per-user copy could be written.
    if (in.ConsumeBool())
        reg.denyWrites(RegRoot::LocalMachine);
    const std::string text = in.ConsumeRandomLengthString(300);
    rk::WriteSetting(reg, name, text);
    const std::string back = rk::ReadSetting(reg, name);
    FUZZ_CHECK(back == text.substr(0, text.find('\0')),
               rk::fuzz::shown(text) << " reads back as " << rk::fuzz::shown(back));
    FUZZ_CHECK(reg.openHandles() == 0, "a write left " << reg.openHandles() << " keys open");
    return 0;
}
