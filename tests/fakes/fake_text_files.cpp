#include "fake_text_files.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "platform/error.h"
#include "platform/file_errors.h"
#include "platform/file_names.h"
#include "text/utf8.h"

namespace rk {

namespace {

std::string keyOf(std::string_view path) {
    std::string key(path);
    std::ranges::transform(key, key.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return key;
}

std::string folderOf(std::string_view key) {
    std::size_t slash = key.rfind('\\');
    return slash == std::string_view::npos ? std::string() : std::string(key.substr(0, slash));
}

[[noreturn]] void raise(int number, std::string_view path, std::string_view what) {
    throw RaidError(number, "FakeTextFiles", std::string(path) + ": " + std::string(what));
}

// A file that is there but may not be read, told as its failure's own words.
[[noreturn]] void refuse(std::string_view path, FileResult result) {
    RaiseFileError(result, std::string(path) + ": " + std::string(FileErrorOf(result).text));
}

// 0x80 to 0x9F; the rest of the bytes are the code points of the same number.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t decode1252(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kHigh[byte - 0x80] : byte;
}

// nullopt on malformed UTF-8.
std::optional<std::u32string> decodeUtf8(std::string_view text) {
    std::u32string out;
    if (!rk::decodeUtf8(text, out))
        return std::nullopt;
    return out;
}

}  // namespace

FakeTextFiles::FakeTextFiles() {
    files_.addFolder("");  // the current folder
}

// Windows' own checks before a file is read.
std::string FakeTextFiles::readAll(std::string_view path) {
    if (const std::optional<Failure> failure = fault(Call::FileRead)) {
        refuse(path, failure == Failure::SharingViolation ? FileResult::SharingViolation
                                                          : FileResult::AccessDenied);
    }
    if (!WindowsTakesPath(path))
        raise(err::kBadFileName, path, "bad file name");
    const std::string key = keyOf(path);
    if (!files_.isFolder(folderOf(key)))
        raise(err::kPathNotFound, path, "path not found");
    if (files_.isFolder(key))
        raise(err::kPathFileAccess, path, "is a folder");
    const FakeCaptureFiles::File* file = files_.file(path);
    if (file == nullptr)
        raise(err::kFileNotFound, path, "file not found");
    if (files_.openElsewhere.contains(key))
        refuse(path, FileResult::SharingViolation);
    if (deniedReads_.contains(key))
        refuse(path, FileResult::AccessDenied);
    return std::string(file->bytes.begin(), file->bytes.end());
}

void FakeTextFiles::addFile(std::string_view path, std::string bytes) {
    addFolder(folderOf(keyOf(path)));
    files_.addFile(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

void FakeTextFiles::addFolder(std::string_view path) {
    for (std::string folder = keyOf(path); !folder.empty(); folder = folderOf(folder))
        files_.addFolder(folder);
}

void FakeTextFiles::denyReads(std::string_view path) {
    deniedReads_.insert(keyOf(path));
}

void FakeTextFiles::lock(std::string_view path) {
    files_.openElsewhere.insert(keyOf(path));
}

void FakeTextFiles::denyWrites(std::string_view path) {
    if (const FakeCaptureFiles::File* file = files_.file(path))
        files_.setAttributes(path, file->attributes | fileattr::kReadOnly);
}

void FakeTextFiles::allow(std::string_view path) {
    deniedReads_.erase(keyOf(path));
    files_.openElsewhere.erase(keyOf(path));
    if (const FakeCaptureFiles::File* file = files_.file(path))
        files_.setAttributes(path, file->attributes & ~fileattr::kReadOnly);
}

std::vector<std::string> FakeTextFiles::filesIn(std::string_view folder) const {
    std::vector<std::string> names = files_.filesIn(folder);
    for (std::string& name : names) name = keyOf(name);
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> FakeTextFiles::contents(std::string_view path) const {
    const FakeCaptureFiles::File* file = files_.file(path);
    if (file == nullptr)
        return std::nullopt;
    return std::string(file->bytes.begin(), file->bytes.end());
}

std::string Windows1252::toUtf8(std::string_view ansi) {
    std::string out;
    for (char byte : ansi) appendUtf8(out, decode1252(static_cast<unsigned char>(byte)));
    return out;
}

std::optional<std::string> Windows1252::fromUtf8(std::string_view utf8) {
    std::optional<std::u32string> text = decodeUtf8(utf8);
    if (!text)
        return std::nullopt;
    std::string out;
    for (char32_t c : *text) {
        int byte = 0;
        while (byte < 256 && decode1252(static_cast<unsigned char>(byte)) != c) ++byte;
        if (byte == 256)
            return std::nullopt;
        out += static_cast<char>(byte);
    }
    return out;
}

}  // namespace rk
