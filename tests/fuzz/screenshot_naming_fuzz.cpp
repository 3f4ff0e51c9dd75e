// Screenshot names for any prefix among any existing names: files with any attributes, folders,
// files this run stored, files deleted again. The name chosen is checked against a plain search
// made here over what the target itself put into the folder.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "capture/screenshot_naming.h"
#include "fake_capture_files.h"
#include "fuzz_check.h"
#include "platform/file_names.h"

namespace {

using namespace rk::fileattr;

std::string lower(std::string text) {
    for (char& c : text) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return text;
}

// The folder as the target made it: lower-case full name to attributes.
struct Model {
    std::map<std::string, std::uint32_t> entries;
    std::set<std::string> storedThisRun;

    // Taken: a folder, a file that is not hidden, or a file this run stored that still exists.
    bool taken(const std::string& name) const {
        if (!rk::WindowsTakesPath(name))
            return false;  // no look-up finds it
        const auto e = entries.find(lower(name));
        if (e == entries.end())
            return false;
        return (e->second & kDirectory) || !(e->second & kHidden) ||
               storedThisRun.contains(lower(name));
    }
};

const char* kPrefixes[] = {"C:\\Shots\\ScreenShot", "C:\\Shots\\", "C:\\Shots\\Shot 1 ",
                           "C:\\Shots\\raid.", "C:\\Shots\\R"};
const char* kExtensions[] = {".jpg", ".bmp", ".JPG"};
const std::uint32_t kAttributes[] = {
    kArchive,           kNormal, kReadOnly | kArchive, kHidden,
    kHidden | kSystem,  kSystem, kDirectory,           kDirectory | kHidden,
    kHidden | kReadOnly};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    rk::FakeCaptureFiles files;
    rk::ScreenshotNaming naming;
    Model model;
    files.addFolder("C:\\Shots");

    const std::string prefix = in.ConsumeBool()
                                   ? "C:\\Shots\\" + in.ConsumeRandomLengthString(12)
                                   : kPrefixes[in.ConsumeIntegralInRange<std::size_t>(0, 4)];
    while (in.remaining_bytes() > 0) {
        const std::string extension = kExtensions[in.ConsumeIntegralInRange(0, 2)];
        const int number = in.ConsumeIntegralInRange(1, 40);
        // A name near the prefix's own, or one of another case, another number's padding.
        std::string name = rk::ScreenshotName(prefix, number, extension);
        switch (in.ConsumeIntegralInRange(0, 7)) {
            case 0:
                name = lower(name);
                break;
            case 1:
                name = prefix + "0" + std::to_string(number) + extension;
                break;
            case 2:
                name = rk::ScreenshotName(prefix, number, extension == ".jpg" ? ".bmp" : ".jpg");
                break;
            default:
                break;
        }
        switch (in.ConsumeIntegralInRange(0, 3)) {
            case 0: {  // something appears under the name
                const std::uint32_t attributes = kAttributes[in.ConsumeIntegralInRange(0, 8)];
                if (model.entries.contains(lower(name)))
                    break;
                if (attributes & kDirectory)
                    files.addFolder(name, true, attributes & ~kDirectory);
                else
                    files.addFile(name, {}, attributes);
                model.entries[lower(name)] = attributes;
                break;
            }
            case 1: {  // the player deletes a file
                auto e = model.entries.find(lower(name));
                if (e != model.entries.end() && !(e->second & (kDirectory | kReadOnly)) &&
                    files.remove(name)) {
                    model.entries.erase(e);
                }
                break;
            }
            default: {  // a screenshot is stored under the next name
                const std::string chosen = naming.next(files, prefix, extension);
                std::optional<int> smallest;
                for (int n = 1; !smallest; ++n) {
                    if (!model.taken(prefix + std::to_string(n) + extension))
                        smallest = n;
                }
                const std::string expected = prefix + std::to_string(*smallest) + extension;
                FUZZ_CHECK(chosen == expected, "prefix " << rk::fuzz::shown(prefix) << ": chose "
                                                         << rk::fuzz::shown(chosen) << ", expected "
                                                         << rk::fuzz::shown(expected));
                // Stored as the writers store it: hidden files are replaced and keep their marks.
                const auto old = model.entries.find(lower(chosen));
                const std::uint32_t attributes =
                    old != model.entries.end() ? old->second : kArchive;
                if (rk::WindowsTakesPath(chosen)) {
                    files.addFile(chosen, {}, attributes);
                    model.entries[lower(chosen)] = attributes;
                    naming.stored(chosen);
                    model.storedThisRun.insert(lower(chosen));
                }
                break;
            }
        }
    }
    return 0;
}
