// The benchmark's native platform: FakeGdi and FakeClipboard for the picture, real files in a
// folder of the build tree for the writes.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "bench_platform.h"
#include "capture/turbo_jpeg.h"
#include "fake_clipboard.h"
#include "fake_gdi.h"

namespace rk::bench {
namespace {

FileResult resultOf(int error) {
    switch (error) {
        case EEXIST:
            return FileResult::Exists;
        case ENOENT:
        case ENOTDIR:
            return FileResult::PathNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
            return FileResult::AccessDenied;
        case ENOSPC:
            return FileResult::DiskFull;
        default:
            return FileResult::Failed;
    }
}

// CaptureFiles on POSIX calls, so that the native figures include real writes.
class PosixFiles : public CaptureFiles {
  public:
    std::optional<FileEntry> find(std::string_view path) override {
        struct stat st {};
        if (stat(std::string(path).c_str(), &st) != 0)
            return std::nullopt;
        return FileEntry{S_ISDIR(st.st_mode) ? fileattr::kDirectory : fileattr::kArchive, {}};
    }
    FileResult writeNewFrom(std::string_view path, const NextPiece& next) override {
        const std::string name(path);
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0)
            return resultOf(errno);
        int error = 0;
        bool givenUp = false;
        for (std::span<const std::uint8_t> piece; error == 0;) {
            if (!next(piece)) {
                givenUp = true;
                break;
            }
            if (piece.empty())
                break;
            std::size_t done = 0;
            while (done < piece.size() && error == 0) {
                const ssize_t n = write(fd, piece.data() + done, piece.size() - done);
                if (n < 0)
                    error = errno;
                else
                    done += static_cast<std::size_t>(n);
            }
        }
        if (close(fd) != 0 && error == 0)
            error = errno;
        if (error != 0 || givenUp) {
            unlink(name.c_str());
            return error != 0 ? resultOf(error) : FileResult::Failed;
        }
        return FileResult::Ok;
    }
    FileResult move(std::string_view from, std::string_view to, bool replace) override {
        const std::string a(from), b(to);
        const int r = replace
                          ? rename(a.c_str(), b.c_str())
                          : renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_NOREPLACE);
        return r == 0 ? FileResult::Ok : resultOf(errno);
    }
    bool remove(std::string_view path) override { return unlink(std::string(path).c_str()) == 0; }
    bool setTimes(std::string_view, const FileTimes&) override { return true; }
    bool setAttributes(std::string_view, std::uint32_t) override { return true; }
};

class NativeBench : public BenchPlatform {
  public:
    NativeBench() {
        folder_ = (std::filesystem::current_path() / "capture-bench-out").string() + "/";
        std::filesystem::create_directories(folder_);
    }
    ~NativeBench() override { std::filesystem::remove_all(folder_); }

    CapturePlatform capture() override { return {clipboard_, gdi_, files_, jpeg_}; }
    void putOnClipboard(const Picture& p) override {
        clipboard_.putBitmap(FakeImage{p.width, p.height, p.pixels});
    }
    std::string folder() override { return folder_; }
    void removeFile(const std::string& path) override { unlink(path.c_str()); }
    void plainWrite(const std::string& path, std::span<const std::uint8_t> bytes) override {
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f)
            return;
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    std::string name() override { return "Linux (FakeGdi blit, real files)"; }

  private:
    FakeGdi gdi_;
    FakeClipboard clipboard_{gdi_};
    PosixFiles files_;
    TurboJpegLibrary jpeg_;
    std::string folder_;
};

}  // namespace

std::unique_ptr<BenchPlatform> makeBenchPlatform() {
    return std::make_unique<NativeBench>();
}

}  // namespace rk::bench
