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
    : setup_(setup),
      quality_(quality),
      lane_(setup.lane != nullptr ? *setup.lane : ownLane_.emplace()) {
    lane_.head.reset();
    lane_.tail.reset();
    init_ = setup_.library.init(props_);
    if (init_ == 0) {
        init_ = setup_.library.init(tailProps_);
        if (init_ != 0)
            setup_.library.free(props_);
    }
}

JpegShot::~JpegShot() {
    stop();
    if (init_ == 0) {
        setup_.library.free(tailProps_);
        setup_.library.free(props_);
    }
}

void JpegShot::rowsReady(const cDIBSection& surface, std::int32_t rowsFromTop) {
    if (rowsFromTop == kRowsWithdrawn) {
        stop();
        return;
    }
    if (init_ != 0)
        return;
    if (!started_)
        start(surface);
    rows_.release(rowsFromTop);
}

void JpegShot::start(const cDIBSection& surface) {
    started_ = true;
    // Cannot overflow here: the surface's own size was checked when it was made.
    SetSurfaceFields(props_, surface, quality_);
    props_.DIBRowsReady = &rows_;
    props_.JPGSink = [this](std::span<const std::uint8_t> bytes) { return lane_.head.put(bytes); };
    // The encoder's thread takes the top half as it arrives; this thread, once it has read the
    // picture, the bottom half. Small pictures are not worth sharing.
    const std::int32_t half = surface.Height() / 2 / kJpegBandRows * kJpegBandRows;
    if (half >= 2 * kJpegBandRows) {
        // Encoded once all rows are in, by an encoder of its own.
        SetSurfaceFields(tailProps_, surface, quality_);
        props_.DIBRowCount = half;
        tailProps_.DIBFirstRow = half;
        tailProps_.JPGSink = [this](std::span<const std::uint8_t> bytes) {
            return lane_.tail.put(bytes);
        };
    }
    if (lane_.encoder.start([this] { lane_.head.finish(setup_.library.write(props_) == 0); })) {
        encoding_ = true;
    } else {
        // No thread to be had: store encodes all on this one, once all rows are in.
        props_.DIBRowsReady = nullptr;
        props_.DIBRowCount = 0;
        tailProps_.DIBFirstRow = 0;
    }
}

void JpegShot::stop() {
    rows_.close();
    lane_.head.leave();
    if (encoding_)
        lane_.encoder.wait();
    encoding_ = false;
}

bool JpegShot::tell() {
    if (setup_.show)
        setup_.show(kCouldNotSaveJpg, "Error", BoxIcon::Information);
    return false;
}

bool JpegShot::store(const cDIBSection& surface, std::string_view fileName, bool mayReplace) {
    if (init_ != 0) {
        throw RaidError(kJpegInitError, setup_.exeName + ".mIntelJPEGLibrary",
                        "Failed to initialise the IJL library: " + std::to_string(init_));
    }
    if (!started_)
        start(surface);
    rows_.release(surface.Height());
    if (!encoding_)
        lane_.head.finish(setup_.library.write(props_) == 0);
    const bool shared = tailProps_.DIBFirstRow > 0;
    if (shared)
        lane_.tail.finish(setup_.library.write(tailProps_) == 0);

    const std::optional<FileEntry> existing = setup_.files.find(fileName);
    // Only a file the player cannot see is replaced; the new one is complete before it is.
    const bool replace = mayReplace && existing && !TakesItsNumber(existing);
    // The top band's bytes, then the bottom band's.
    ChunkQueue* from = &lane_.head;
    const FileResult stored = StoreNewFile(
        setup_.files, fileName,
        [&](std::span<const std::uint8_t>& piece) {
            for (;;) {
                switch (from->take(writing_)) {
                    case ChunkQueue::Take::Chunk:
                        piece = writing_;
                        return true;
                    case ChunkQueue::Take::End:
                        if (shared && from == &lane_.head) {
                            from = &lane_.tail;
                            continue;
                        }
                        piece = {};
                        return true;
                    case ChunkQueue::Take::Broken:
                        return false;
                }
            }
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
