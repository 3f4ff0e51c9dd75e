#include "capture/jpeg_writer.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "capture/checked_int.h"
#include "capture/file_replace.h"
#include "capture/screenshot_naming.h"
#include "platform/error.h"

namespace rk {

namespace {

// Results of the encoder, in the vendor library's manner: 0 is success, failures negative.
constexpr int kNoEncoder = -1;
constexpr int kBadSource = -2;
constexpr int kEncodeFailed = -3;

int subsamplingOf(JpegSubsampling s) {
    switch (s) {
        case JpegSubsampling::S444:
            return TJSAMP_444;
        case JpegSubsampling::S422:
            return TJSAMP_422;
        case JpegSubsampling::S420:
        case JpegSubsampling::None:
            break;
    }
    return TJSAMP_420;
}

}  // namespace

int TurboJpegLibrary::init(JpegCoreProperties& props) {
    tjhandle handle = tjInitCompress();
    if (handle == nullptr)
        return kNoEncoder;
    props.state = handle;
    props.DIBChannels = 3;
    props.DIBColor = JpegColor::BGR;
    props.JPGChannels = 3;
    props.JPGColor = JpegColor::YCbCr;
    props.JPGSubSampling = JpegSubsampling::S420;
    return 0;
}

int TurboJpegLibrary::write(JpegCoreProperties& props) {
    if (props.state == nullptr)
        return kNoEncoder;
    const std::int64_t width = props.DIBWidth;
    const std::int64_t height = std::abs(std::int64_t{props.DIBHeight});
    const std::int64_t pitch = width * 3 + props.DIBPadBytes;
    if (props.DIBBytes == nullptr || props.DIBChannels != 3 || props.DIBColor != JpegColor::BGR ||
        props.JPGChannels != 3 || props.JPGColor != JpegColor::YCbCr || width <= 0 || height <= 0 ||
        props.DIBPadBytes < 0 || pitch > INT32_MAX || props.JPGWidth != width ||
        props.JPGHeight != height) {
        return kBadSource;
    }
    const int quality = std::clamp(props.jquality, 1, 100);
    // Bottom-up rows are read in place, padding and all: no copy of the picture is made.
    const int flags = props.DIBHeight < 0 ? TJFLAG_BOTTOMUP : 0;
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const int result =
        tjCompress2(static_cast<tjhandle>(props.state), props.DIBBytes, static_cast<int>(width),
                    static_cast<int>(pitch), static_cast<int>(height), TJPF_BGR, &out, &size,
                    subsamplingOf(props.JPGSubSampling), quality, flags);
    if (result != 0) {
        tjFree(out);
        return kEncodeFailed;
    }
    tjFree(const_cast<std::uint8_t*>(props.JPGBytes));
    props.JPGBytes = out;
    props.JPGSizeBytes = size;
    return 0;
}

void TurboJpegLibrary::free(JpegCoreProperties& props) {
    tjFree(const_cast<std::uint8_t*>(props.JPGBytes));
    props.JPGBytes = nullptr;
    props.JPGSizeBytes = 0;
    if (props.state != nullptr)
        tjDestroy(static_cast<tjhandle>(props.state));
    props.state = nullptr;
}

void SetSurfaceFields(JpegCoreProperties& props, const cDIBSection& surface, std::int32_t quality) {
    props.DIBWidth = surface.Width();
    props.DIBHeight = checkedSub(0, surface.Height());
    props.DIBBytes = surface.DIBSectionBitsPtr();
    props.DIBPadBytes = checkedSub(surface.BytesPerScanLine(), checkedMul(surface.Width(), 3));
    props.JPGWidth = surface.Width();
    props.JPGHeight = surface.Height();
    props.jquality = quality;
}

bool WriteJPEGFile(JpegWriterSetup& setup, const cDIBSection& surface, std::string_view fileName,
                   std::int32_t quality) {
    JpegCoreProperties props;
    const int init = setup.library.init(props);
    if (init != 0) {
        throw RaidError(kJpegInitError, setup.exeName + ".mIntelJPEGLibrary",
                        "Failed to initialise the IJL library: " + std::to_string(init));
    }
    // Released on every way out, errors included.
    struct Release {
        JpegLibrary& library;
        JpegCoreProperties& props;
        ~Release() { library.free(props); }
    } release{setup.library, props};

    const std::optional<FileEntry> existing = setup.files.find(fileName);
    SetSurfaceFields(props, surface, quality);

    auto tell = [&] {
        if (setup.show)
            setup.show(kCouldNotSaveJpg, "Error", BoxIcon::Information);
        return false;
    };
    if (setup.library.write(props) != 0)
        return tell();

    // Only a file the player cannot see is replaced; the new one is complete before it is.
    const bool replace = existing && !TakesItsNumber(existing);
    const std::span<const std::uint8_t> pieces[] = {{props.JPGBytes, props.JPGSizeBytes}};
    const FileResult stored = StoreNewFile(setup.files, fileName, pieces, replace);
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
        setup.files.setTimes(fileName, existing->times);
        setup.files.setAttributes(fileName, existing->attributes);
    }
    return true;
}

}  // namespace rk
