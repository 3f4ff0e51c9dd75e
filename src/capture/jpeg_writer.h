// mIntelJPEGLibrary: a surface written as a JPEG file. The encoder is libjpeg-turbo, reached
// through the shape of the vendor library it took the place of (init, write, free; 0 = success).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "capture/dib_section.h"
#include "capture/hand_over.h"
#include "capture/show_box.h"
#include "platform/capture_files.h"

namespace rk {

enum class JpegColor { Unknown, BGR, RGB, YCbCr, Gray };
enum class JpegSubsampling { None, S420, S422, S444 };

// Where the encoded bytes go as they are made; false when no more are wanted, which stops the
// encode.
using JpegSink = std::function<bool(std::span<const std::uint8_t>)>;

// JPEG_CORE_PROPERTIES as far as this program uses it. The encoded file is handed to JPGSink
// piece by piece, so that it can be written beside the old file while the encode runs, and
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
    // The rows in place so far, counted from the top; the encoder waits for the others. None:
    // all are.
    RowGate* DIBRowsReady = nullptr;
    // Two threads may share a picture: a band of rows from the top (DIBFirstRow 0) makes the
    // start of the file, the band of the rest its end. DIBRowCount 0 means all rows. A band
    // boundary lies on a multiple of kJpegBandRows.
    std::int32_t DIBFirstRow = 0;
    std::int32_t DIBRowCount = 0;
    JpegSink JPGSink;
    void* state = nullptr;  // the library's own, from init to free
};

constexpr std::int32_t kJpegBandRows = 16;

class JpegLibrary {
  public:
    virtual ~JpegLibrary() = default;
    // Puts the initial values into the record: three channels of BGR in, YCbCr 4:2:0 out.
    virtual int init(JpegCoreProperties& props) = 0;
    // Encodes the DIB the record describes into JPGSink. Not 0 when the encode failed or was
    // stopped (the sink refused bytes, the rows never all came).
    virtual int write(JpegCoreProperties& props) = 0;
    virtual void free(JpegCoreProperties& props) = 0;
};

// What the JPEG files share from one to the next: the thread that encodes, and the memory the
// encoded bytes pass through (fresh memory costs more than the copying into used memory).
struct JpegLane {
    Worker encoder;
    ChunkQueue head;  // the top band's bytes, or the whole file's
    ChunkQueue tail;  // the bottom band's
    // Gives the kept memory back; the thread stays.
    void release() {
        head.release();
        tail.release();
    }
};

// What the writer reaches besides the surface.
struct JpegWriterSetup {
    CaptureFiles& files;
    JpegLibrary& library;
    ShowBox show;
    std::string exeName;       // the program's executable name without extension, for error sources
    JpegLane* lane = nullptr;  // none: each file makes its own
};

// The number and texts of the error raised when the encoder cannot be set up.
constexpr int kJpegInitError = 26001;

// Steps 3 to 5 of a write: the source and size fields from the surface and the quality.
// Raises overflow (6) when width x 3 does not fit 32 bits.
void SetSurfaceFields(JpegCoreProperties& props, const cDIBSection& surface, std::int32_t quality);

// One JPEG file in the making. The encoder runs on a thread of its own and starts on the top
// rows while the rest of the picture is still being read into the surface; the thread that
// read the picture then encodes its bottom half, and the file is written as the bytes come.
// Not to be moved: the encoder holds on to it.
class JpegShot {
  public:
    // Sets the encoder up. When it cannot be, store raises 26001.
    JpegShot(JpegWriterSetup& setup, std::int32_t quality);
    ~JpegShot();
    JpegShot(const JpegShot&) = delete;
    JpegShot& operator=(const JpegShot&) = delete;

    // The surface's top rows are in place (a cDIBSection row listener): the first call starts
    // the encoder. kRowsWithdrawn stops it before returning.
    void rowsReady(const cDIBSection& surface, std::int32_t rowsFromTop);
    // Waits for the encode and stores the file; as WriteJPEGFile, replacing no file without
    // mayReplace. Rows not yet announced are taken as they are now.
    bool store(const cDIBSection& surface, std::string_view fileName, bool mayReplace = true);

  private:
    void start(const cDIBSection& surface);
    void stop();
    bool tell();

    JpegWriterSetup& setup_;
    std::int32_t quality_;
    JpegCoreProperties props_;      // the whole picture, or its top band
    JpegCoreProperties tailProps_;  // the bottom band, when the picture is shared
    int init_ = 0;
    bool started_ = false;
    RowGate rows_;
    std::optional<JpegLane> ownLane_;
    JpegLane& lane_;
    std::vector<std::uint8_t> writing_;  // the piece the file writer holds
    bool encoding_ = false;              // the lane's thread works on this file
};

// Writes the surface to fileName. True when the file was written. When the file cannot be
// made, tells the player (a box titled "Error") and returns false, leaving any file of that
// name as it was. A file the player cannot see may be replaced; the new file then takes over
// its times and attributes. Raises 26001 when the encoder cannot be set up.
bool WriteJPEGFile(JpegWriterSetup& setup, const cDIBSection& surface, std::string_view fileName,
                   std::int32_t quality);

inline constexpr std::string_view kCouldNotSaveJpg =
    "Could not save JPG, make sure your setting 'for saving folder' is correct";

}  // namespace rk
