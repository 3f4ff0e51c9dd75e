#include "capture/turbo_jpeg.h"

#include "capture/jpeg_bands.h"

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE declared first
#include <jpeglib.h>
// clang-format on

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <variant>
#include <vector>

namespace rk {

namespace {

// Results in the vendor library's manner: 0 is success, failures negative.
constexpr int kNoEncoder = -1;
constexpr int kBadSource = -2;
constexpr int kEncodeFailed = -3;
constexpr int kStopped = -4;

// Big enough that the file is written in few pieces, small enough that the first piece comes
// early and that the heap hands the same memory back shot after shot.
constexpr std::size_t kPieceBytes = 64 * 1024;

// The part of the whole file one encode makes: all of it, or one band's share (jpeg_bands.h).
using Band = std::variant<std::monostate, JpegHeadBand, JpegTailBand>;

struct Encoder {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    jpeg_destination_mgr destination{};
    std::jmp_buf failed{};
    std::vector<std::uint8_t> piece = std::vector<std::uint8_t>(kPieceBytes);
    const JpegSink* sink = nullptr;
    bool unwanted = false;  // the sink refused bytes: the encode is given up
    bool broken = false;    // the encoder's own output was not as expected

    Band band;
};

Encoder& encoderOf(j_common_ptr cinfo) {
    return *static_cast<Encoder*>(cinfo->client_data);
}

// libjpeg's errors end in a jump back to the call that started the work.
[[noreturn]] void onError(j_common_ptr cinfo) {
    std::longjmp(encoderOf(cinfo).failed, 1);
}
void noMessage(j_common_ptr) {}

void send(Encoder& e, std::span<const std::uint8_t> bytes) {
    if (!e.unwanted && !bytes.empty())
        e.unwanted = !(*e.sink)(bytes);
}

void hand(Encoder& e, std::size_t count) {
    if (count > 0 && !e.broken) {
        const std::span<std::uint8_t> bytes(e.piece.data(), count);
        const JpegBytesOut out = [&e](std::span<const std::uint8_t> b) { send(e, b); };
        if (auto* head = std::get_if<JpegHeadBand>(&e.band))
            e.broken = !head->piece(bytes, out);
        else if (auto* tail = std::get_if<JpegTailBand>(&e.band))
            e.broken = !tail->piece(bytes, out);
        else
            send(e, bytes);
    }
    e.destination.next_output_byte = e.piece.data();
    e.destination.free_in_buffer = e.piece.size();
}
void startPieces(j_compress_ptr cinfo) {
    hand(encoderOf(reinterpret_cast<j_common_ptr>(cinfo)), 0);
}
boolean pieceFull(j_compress_ptr cinfo) {
    Encoder& e = encoderOf(reinterpret_cast<j_common_ptr>(cinfo));
    hand(e, e.piece.size());
    return TRUE;
}
void lastPiece(j_compress_ptr cinfo) {
    Encoder& e = encoderOf(reinterpret_cast<j_common_ptr>(cinfo));
    hand(e, e.piece.size() - e.destination.free_in_buffer);
    if (auto* head = std::get_if<JpegHeadBand>(&e.band); head && !head->complete())
        e.broken = true;
}

// jpeg_set_defaults and the rest as tjCompress2 calls them for BGR rows and a quality, with a
// restart marker after every row of blocks, where bands of the picture may join.
void setUp(jpeg_compress_struct& c, const JpegCoreProperties& props, int width, int height) {
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.in_color_space = JCS_EXT_BGR;
    c.input_components = 3;
    jpeg_set_defaults(&c);
    const int quality = std::clamp(props.jquality, 1, 100);
    jpeg_set_quality(&c, quality, TRUE);
    c.dct_method = quality >= 96 ? JDCT_ISLOW : JDCT_FASTEST;
    jpeg_set_colorspace(&c, JCS_YCbCr);
    int h = 2, v = 2;
    if (props.JPGSubSampling == JpegSubsampling::S444)
        h = v = 1;
    else if (props.JPGSubSampling == JpegSubsampling::S422)
        v = 1;
    c.comp_info[0].h_samp_factor = h;
    c.comp_info[0].v_samp_factor = v;
    for (int i = 1; i < 3; ++i) c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    c.restart_in_rows = 1;
}

struct Rows {
    int first;  // from the top of the picture
    int count;
    int pictureHeight;
    int width;
    std::size_t pitch;
};

// Only plain values live in this frame: libjpeg's errors jump back into it.
int encode(Encoder& e, const JpegCoreProperties& props, const Rows& band) {
    jpeg_compress_struct& c = e.cinfo;
    if (setjmp(e.failed) != 0) {
        jpeg_abort_compress(&c);
        return kEncodeFailed;
    }
    setUp(c, props, band.width, band.count);
    jpeg_start_compress(&c, TRUE);
    // The first row of the file is the last one in memory when the rows lie bottom-up.
    const bool bottomUp = props.DIBHeight < 0;
    JSAMPROW rows[kJpegBandRows];
    for (int top = 0; top < band.count;) {
        const int count = std::min<int>(kJpegBandRows, band.count - top);
        const int y0 = band.first + top;
        if ((props.DIBRowsReady && !props.DIBRowsReady->waitFor(y0 + count)) || e.unwanted ||
            e.broken) {
            jpeg_abort_compress(&c);
            return e.broken ? kEncodeFailed : kStopped;
        }
        for (int i = 0; i < count; ++i) {
            const int y = y0 + i;
            const auto at = static_cast<std::size_t>(bottomUp ? band.pictureHeight - 1 - y : y);
            rows[i] = const_cast<JSAMPROW>(props.DIBBytes + at * band.pitch);
        }
        const JDIMENSION taken = jpeg_write_scanlines(&c, rows, static_cast<JDIMENSION>(count));
        if (taken == 0) {
            jpeg_abort_compress(&c);
            return kEncodeFailed;
        }
        top += static_cast<int>(taken);
    }
    jpeg_finish_compress(&c);
    if (e.broken)
        return kEncodeFailed;
    return e.unwanted ? kStopped : 0;
}

}  // namespace

int TurboJpegLibrary::init(JpegCoreProperties& props) {
    Encoder* e = new (std::nothrow) Encoder;
    if (e == nullptr)
        return kNoEncoder;
    e->cinfo.err = jpeg_std_error(&e->errors);
    e->errors.error_exit = onError;
    e->errors.output_message = noMessage;
    e->cinfo.client_data = e;
    if (setjmp(e->failed) != 0) {
        delete e;
        return kNoEncoder;
    }
    jpeg_create_compress(&e->cinfo);
    e->destination.init_destination = startPieces;
    e->destination.empty_output_buffer = pieceFull;
    e->destination.term_destination = lastPiece;
    e->cinfo.dest = &e->destination;
    props.state = e;
    props.DIBChannels = 3;
    props.DIBColor = JpegColor::BGR;
    props.JPGChannels = 3;
    props.JPGColor = JpegColor::YCbCr;
    props.JPGSubSampling = JpegSubsampling::S420;
    return 0;
}

int TurboJpegLibrary::write(JpegCoreProperties& props) {
    auto* e = static_cast<Encoder*>(props.state);
    if (e == nullptr)
        return kNoEncoder;
    const std::int64_t width = props.DIBWidth;
    const std::int64_t height = std::abs(std::int64_t{props.DIBHeight});
    const std::int64_t pitch = width * 3 + props.DIBPadBytes;
    const std::int64_t first = props.DIBFirstRow;
    const std::int64_t count = props.DIBRowCount == 0 ? height - first : props.DIBRowCount;
    if (props.DIBBytes == nullptr || !props.JPGSink || props.DIBChannels != 3 ||
        props.DIBColor != JpegColor::BGR || props.JPGChannels != 3 ||
        props.JPGColor != JpegColor::YCbCr || width <= 0 || height <= 0 ||
        width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION || props.DIBPadBytes < 0 ||
        pitch > INT32_MAX || props.JPGWidth != width || props.JPGHeight != height || first < 0 ||
        count <= 0 || first + count > height || first % kJpegBandRows != 0 ||
        (first + count < height && count % kJpegBandRows != 0) ||
        (first > 0 && first + count < height)) {
        return kBadSource;
    }
    e->sink = &props.JPGSink;
    e->unwanted = e->broken = false;
    // One restart interval per row of blocks: 16 rows at 4:2:0, 8 otherwise.
    const int blockRows = props.JPGSubSampling == JpegSubsampling::S420 ||
                                  props.JPGSubSampling == JpegSubsampling::None
                              ? 16
                              : 8;
    if (count == height)
        e->band.emplace<std::monostate>();
    else if (first == 0)
        e->band.emplace<JpegHeadBand>(static_cast<int>(height));
    else
        e->band.emplace<JpegTailBand>(static_cast<int>(first / blockRows));
    return encode(*e, props,
                  {static_cast<int>(first), static_cast<int>(count), static_cast<int>(height),
                   static_cast<int>(width), static_cast<std::size_t>(pitch)});
}

void TurboJpegLibrary::free(JpegCoreProperties& props) {
    auto* e = static_cast<Encoder*>(props.state);
    if (e == nullptr)
        return;
    jpeg_destroy_compress(&e->cinfo);
    delete e;
    props.state = nullptr;
}

}  // namespace rk
