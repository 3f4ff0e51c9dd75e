#include "capture/jpeg_writer.h"

#include <cstdlib>
#include <optional>

#include "capture/checked_int.h"
#include "capture/file_replace.h"
#include "capture/screenshot_naming.h"
#include "platform/error.h"

namespace rk {

void SetSurfaceFields(JpegCoreProperties& props, const cDIBSection& surface, std::int32_t quality) {
    props.DIBWidth = surface.Width();
    props.DIBHeight = checkedSub(0, surface.Height());
    props.DIBBytes = surface.DIBSectionBitsPtr();
    props.DIBPadBytes = checkedSub(surface.BytesPerScanLine(), checkedMul(surface.Width(), 3));
    props.JPGWidth = surface.Width();
    props.JPGHeight = surface.Height();
    props.jquality = quality;
}

JpegShot::JpegShot(JpegWriterSetup& setup, std::int32_t quality)
    : setup_(setup), quality_(quality) {
    init_ = setup_.library.init(props_);
}

JpegShot::~JpegShot() {
    stop();
    if (init_ == 0)
        setup_.library.free(props_);
}

void JpegShot::rowsReady(const cDIBSection& surface, std::int32_t rowsFromTop) {
    if (rowsFromTop == kRowsWithdrawn) {
        stop();
        return;
    }
    if (init_ != 0 || error_)
        return;
    if (!started_)
        start(surface);
    rows_.release(rowsFromTop);
}

void JpegShot::start(const cDIBSection& surface) {
    started_ = true;
    // This runs while the picture is being read: what goes wrong is told by store.
    try {
        SetSurfaceFields(props_, surface, quality_);
    } catch (...) {
        error_ = std::current_exception();
        return;
    }
    props_.DIBRowsReady = &rows_;
    props_.JPGSink = [this](std::span<const std::uint8_t> bytes) { return bytes_.put(bytes); };
    Worker* worker = setup_.encoder;
    if (worker == nullptr)
        worker = &ownEncoder_.emplace();
    if (worker->start([this] { bytes_.finish(setup_.library.write(props_) == 0); })) {
        encoder_ = worker;
    } else {
        // No thread to be had: store encodes on this one, once all rows are in.
        props_.DIBRowsReady = nullptr;
    }
}

void JpegShot::stop() {
    rows_.close();
    bytes_.leave();
    if (encoder_ != nullptr)
        encoder_->wait();
    encoder_ = nullptr;
}

bool JpegShot::tell() {
    if (setup_.show)
        setup_.show(kCouldNotSaveJpg, "Error", BoxIcon::Information);
    return false;
}

bool JpegShot::store(const cDIBSection& surface, std::string_view fileName) {
    if (init_ != 0) {
        throw RaidError(kJpegInitError, setup_.exeName + ".mIntelJPEGLibrary",
                        "Failed to initialise the IJL library: " + std::to_string(init_));
    }
    if (!started_)
        start(surface);
    rows_.release(surface.Height());
    if (error_)
        std::rethrow_exception(error_);
    if (encoder_ == nullptr)
        bytes_.finish(setup_.library.write(props_) == 0);

    const std::optional<FileEntry> existing = setup_.files.find(fileName);
    // Only a file the player cannot see is replaced; the new one is complete before it is.
    const bool replace = existing && !TakesItsNumber(existing);
    const FileResult stored = StoreNewFile(
        setup_.files, fileName,
        [this](std::span<const std::uint8_t>& piece) {
            switch (bytes_.take(writing_)) {
                case ChunkQueue::Take::Chunk:
                    piece = writing_;
                    return true;
                case ChunkQueue::Take::End:
                    piece = {};
                    return true;
                case ChunkQueue::Take::Broken:
                    break;
            }
            return false;
        },
        replace);
    stop();
    if (stored != FileResult::Ok) {
        // An old file that may not go (read-only, open elsewhere) is the player's to mend.
        if (replace &&
            (stored == FileResult::AccessDenied || stored == FileResult::SharingViolation)) {
            RaiseFileError(stored);
        }
        return tell();
    }
    if (replace) {
        // Times first: read-only among the attributes would refuse them.
        setup_.files.setTimes(fileName, existing->times);
        setup_.files.setAttributes(fileName, existing->attributes);
    }
    return true;
}

bool WriteJPEGFile(JpegWriterSetup& setup, const cDIBSection& surface, std::string_view fileName,
                   std::int32_t quality) {
    JpegShot shot(setup, quality);
    return shot.store(surface, fileName);
}

}  // namespace rk
