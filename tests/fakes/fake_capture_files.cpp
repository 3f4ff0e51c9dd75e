#include "fake_capture_files.h"

#include <algorithm>

#include "platform/file_names.h"

namespace rk {

std::string FakeCaptureFiles::key(std::string_view path) {
    std::string out(path);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    while (out.size() > 2 && out.back() == '\\') out.pop_back();
    return out;
}

std::string FakeCaptureFiles::parentKey(std::string_view path) {
    const std::string k = key(path);
    const auto slash = k.find_last_of('\\');
    return slash == std::string::npos ? std::string() : k.substr(0, slash);
}

bool FakeCaptureFiles::folderExists(const std::string& folderKey) const {
    const bool driveRoot = folderKey.size() == 2 && folderKey[1] == ':';
    return driveRoot || folders_.contains(folderKey);
}

std::optional<FileEntry> FakeCaptureFiles::find(std::string_view path) {
    if (fault(Call::FileLookUp))
        return std::nullopt;
    if (!WindowsTakesPath(path))
        return std::nullopt;
    const std::string k = key(path);
    if (auto f = files_.find(k); f != files_.end())
        return FileEntry{f->second.attributes, f->second.times};
    if (auto d = folders_.find(k); d != folders_.end())
        return FileEntry{fileattr::kDirectory | d->second.attributes, {now, now, now}};
    return std::nullopt;
}

FileResult FakeCaptureFiles::writeNewFrom(std::string_view path, const NextPiece& next) {
    const std::optional<Failure> failure = fault(Call::FileCreate);
    if (failure == Failure::AccessDenied)
        return FileResult::AccessDenied;
    if (!WindowsTakesPath(path))
        return FileResult::BadName;
    const std::string parent = parentKey(path);
    if (!folderExists(parent))
        return FileResult::PathNotFound;
    if (auto d = folders_.find(parent); d != folders_.end() && !d->second.writable)
        return FileResult::AccessDenied;
    const std::string k = key(path);
    if (files_.contains(k) || folders_.contains(k))
        return FileResult::Exists;
    File f;
    for (std::span<const std::uint8_t> piece;;) {
        if (!next(piece))
            return FileResult::Failed;
        if (piece.empty())
            break;
        if (failure == Failure::DiskFull) {
            // The disk fills during the first piece: the part written is deleted again, as the
            // Windows half deletes it.
            return FileResult::DiskFull;
        }
        f.bytes.insert(f.bytes.end(), piece.begin(), piece.end());
    }
    if (f.bytes.size() > spaceLeft)
        return FileResult::DiskFull;
    spaceLeft -= f.bytes.size();
    f.name = std::string(path.substr(path.find_last_of('\\') + 1));
    f.times = {now, now, now};
    ++now;
    files_[k] = std::move(f);
    return FileResult::Ok;
}

FileResult FakeCaptureFiles::move(std::string_view from, std::string_view to, bool replace) {
    if (const std::optional<Failure> failure = fault(Call::FileMove)) {
        return failure == Failure::SharingViolation ? FileResult::SharingViolation
                                                    : FileResult::AccessDenied;
    }
    if (!WindowsTakesPath(from) || !WindowsTakesPath(to))
        return FileResult::BadName;
    const std::string source = key(from), target = key(to);
    auto f = files_.find(source);
    if (f == files_.end())
        return folderExists(parentKey(from)) ? FileResult::FileNotFound : FileResult::PathNotFound;
    if (!folderExists(parentKey(to)))
        return FileResult::PathNotFound;
    if (folders_.contains(target))
        return replace ? FileResult::AccessDenied : FileResult::Exists;
    if (auto old = files_.find(target); old != files_.end() && target != source) {
        if (!replace)
            return FileResult::Exists;
        if (old->second.attributes & fileattr::kReadOnly)
            return FileResult::AccessDenied;
        if (openElsewhere.contains(target))
            return FileResult::SharingViolation;
        spaceLeft += old->second.bytes.size();
        files_.erase(old);
    }
    File moved = std::move(f->second);
    files_.erase(source);
    moved.name = std::string(to.substr(to.find_last_of('\\') + 1));
    files_[target] = std::move(moved);
    return FileResult::Ok;
}

bool FakeCaptureFiles::remove(std::string_view path) {
    if (fault(Call::FileRemove))
        return false;
    if (!WindowsTakesPath(path))
        return false;
    const std::string k = key(path);
    auto f = files_.find(k);
    if (f == files_.end() || (f->second.attributes & fileattr::kReadOnly) ||
        openElsewhere.contains(k)) {
        return false;
    }
    spaceLeft += f->second.bytes.size();
    files_.erase(f);
    return true;
}

bool FakeCaptureFiles::setTimes(std::string_view path, const FileTimes& times) {
    if (fault(Call::FileStamp))
        return false;
    if (!WindowsTakesPath(path))
        return false;
    auto f = files_.find(key(path));
    if (f == files_.end())
        return false;
    f->second.times = times;
    return true;
}

bool FakeCaptureFiles::setAttributes(std::string_view path, std::uint32_t attributes) {
    if (fault(Call::FileStamp))
        return false;
    if (!WindowsTakesPath(path))
        return false;
    auto f = files_.find(key(path));
    if (f == files_.end())
        return false;
    f->second.attributes = attributes;
    return true;
}

bool FakeCaptureFiles::takesFiles(std::string_view path) const {
    const std::string k = key(path);
    if (!folderExists(k))
        return false;
    auto d = folders_.find(k);
    return d == folders_.end() || d->second.writable;
}

void FakeCaptureFiles::addFolder(std::string_view path, bool writable, std::uint32_t attributes) {
    folders_[key(path)] = Folder{writable, attributes};
}

void FakeCaptureFiles::addFile(std::string_view path, std::vector<std::uint8_t> bytes,
                               std::uint32_t attributes, FileTimes times) {
    File f;
    f.name = std::string(path.substr(path.find_last_of('\\') + 1));
    f.bytes = std::move(bytes);
    f.attributes = attributes;
    f.times = times;
    files_[key(path)] = std::move(f);
}

const FakeCaptureFiles::File* FakeCaptureFiles::file(std::string_view path) const {
    auto f = files_.find(key(path));
    return f == files_.end() ? nullptr : &f->second;
}

std::map<std::string, std::vector<std::uint8_t>> FakeCaptureFiles::contents() const {
    std::map<std::string, std::vector<std::uint8_t>> all;
    for (const auto& [path, f] : files_) all[path] = f.bytes;
    return all;
}

std::vector<std::string> FakeCaptureFiles::filesIn(std::string_view folder) const {
    const std::string k = key(folder);
    std::vector<std::string> names;
    for (const auto& [path, f] : files_) {
        if (parentKey(path) == k)
            names.push_back(f.name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace rk
