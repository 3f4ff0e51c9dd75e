// mIntelJPEGLibrary: a surface written as a JPEG file. The encoder is libjpeg-turbo, reached
// through the shape of the vendor library it took the place of (init, write, free; 0 = success).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "capture/dib_section.h"
#include "capture/show_box.h"
#include "platform/capture_files.h"

namespace rk {

enum class JpegColor { Unknown, BGR, RGB, YCbCr, Gray };
enum class JpegSubsampling { None, S420, S422, S444 };

// JPEG_CORE_PROPERTIES as far as this program uses it. The encoded file comes back in memory
// (JPGBytes, owned by the library until free) so that it can be written beside the old file and
// moved into place.
struct JpegCoreProperties {
    std::int32_t DIBWidth = 0;
    std::int32_t DIBHeight = 0;  // negative: rows stored bottom-up
    const std::uint8_t* DIBBytes = nullptr;
    std::int32_t DIBPadBytes = 0;
    std::int32_t DIBChannels = 0;
    JpegColor DIBColor = JpegColor::Unknown;
    std::int32_t JPGWidth = 0;
    std::int32_t JPGHeight = 0;
    std::int32_t JPGChannels = 0;
    JpegColor JPGColor = JpegColor::Unknown;
    JpegSubsampling JPGSubSampling = JpegSubsampling::None;
    std::int32_t jquality = 0;
    const std::uint8_t* JPGBytes = nullptr;
    std::size_t JPGSizeBytes = 0;
    void* state = nullptr;  // the library's own, from init to free
};

class JpegLibrary {
  public:
    virtual ~JpegLibrary() = default;
    // Puts the initial values into the record: three channels of BGR in, YCbCr 4:2:0 out.
    virtual int init(JpegCoreProperties& props) = 0;
    // Encodes the DIB the record describes into JPGBytes / JPGSizeBytes.
    virtual int write(JpegCoreProperties& props) = 0;
    virtual void free(JpegCoreProperties& props) = 0;
};

// libjpeg-turbo. Qualities below 1 are taken as 1 and above 100 as 100 (the record keeps the
// number as given).
class TurboJpegLibrary final : public JpegLibrary {
  public:
    int init(JpegCoreProperties& props) override;
    int write(JpegCoreProperties& props) override;
    void free(JpegCoreProperties& props) override;
};

// What the writer reaches besides the surface.
struct JpegWriterSetup {
    CaptureFiles& files;
    JpegLibrary& library;
    ShowBox show;
    std::string exeName;  // the program's executable name without extension, for error sources
};

// The number and texts of the error raised when the encoder cannot be set up.
constexpr int kJpegInitError = 26001;

// Steps 3 to 5 of a write: the source and size fields from the surface and the quality.
// Raises overflow (6) when width x 3 does not fit 32 bits.
void SetSurfaceFields(JpegCoreProperties& props, const cDIBSection& surface, std::int32_t quality);

// Writes the surface to fileName. True when the file was written. When the file cannot be
// made, tells the player (a box titled "Error") and returns false, leaving any file of that
// name as it was. A file the player cannot see may be replaced; the new file then takes over
// its times and attributes. Raises 26001 when the encoder cannot be set up.
bool WriteJPEGFile(JpegWriterSetup& setup, const cDIBSection& surface, std::string_view fileName,
                   std::int32_t quality);

inline constexpr std::string_view kCouldNotSaveJpg =
    "Could not save JPG, make sure your setting 'for saving folder' is correct";

}  // namespace rk
