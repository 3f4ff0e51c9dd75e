#include "capture/turbo_jpeg.h"

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE declared first
#include <jpeglib.h>
// clang-format on

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

namespace rk {

namespace {

// Results in the vendor library's manner: 0 is success, failures negative.
constexpr int kNoEncoder = -1;
constexpr int kBadSource = -2;
constexpr int kEncodeFailed = -3;
constexpr int kStopped = -4;

// Big enough that the file is written in few pieces, small enough that the first piece comes
// early and the writer keeps pace with the encoder.
constexpr std::size_t kPieceBytes = 64 * 1024;
// libjpeg takes the rows of one MCU row (16 for 4:2:0) at a time.
constexpr int kBatchRows = 16;

struct Encoder {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    jpeg_destination_mgr destination{};
    std::jmp_buf failed{};
    std::vector<std::uint8_t> piece = std::vector<std::uint8_t>(kPieceBytes);
    const JpegSink* sink = nullptr;
    bool unwanted = false;  // the sink refused bytes: the encode is given up
};

Encoder& encoderOf(j_common_ptr cinfo) {
    return *static_cast<Encoder*>(cinfo->client_data);
}

// libjpeg's errors end in a jump back to the call that started the work.
[[noreturn]] void onError(j_common_ptr cinfo) {
    std::longjmp(encoderOf(cinfo).failed, 1);
}
void noMessage(j_common_ptr) {}

void hand(Encoder& e, std::size_t bytes) {
    if (!e.unwanted && bytes > 0)
        e.unwanted = !(*e.sink)({e.piece.data(), bytes});
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
}

// jpeg_set_defaults and the rest as tjCompress2 calls them for BGR rows and a quality.
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
}

// Only plain values live in this frame: libjpeg's errors jump back into it.
int encode(Encoder& e, const JpegCoreProperties& props, int width, int height, std::size_t pitch) {
    jpeg_compress_struct& c = e.cinfo;
    if (setjmp(e.failed) != 0) {
        jpeg_abort_compress(&c);
        return kEncodeFailed;
    }
    setUp(c, props, width, height);
    jpeg_start_compress(&c, TRUE);
    // The first row of the file is the last one in memory when the rows lie bottom-up.
    const bool bottomUp = props.DIBHeight < 0;
    JSAMPROW rows[kBatchRows];
    for (int top = 0; top < height;) {
        const int count = std::min(kBatchRows, height - top);
        if ((props.DIBRowsReady && !props.DIBRowsReady->waitFor(top + count)) || e.unwanted) {
            jpeg_abort_compress(&c);
            return kStopped;
        }
        for (int i = 0; i < count; ++i) {
            const int y = top + i;
            const std::size_t at = static_cast<std::size_t>(bottomUp ? height - 1 - y : y);
            rows[i] = const_cast<JSAMPROW>(props.DIBBytes + at * pitch);
        }
        const JDIMENSION taken = jpeg_write_scanlines(&c, rows, static_cast<JDIMENSION>(count));
        if (taken == 0) {
            jpeg_abort_compress(&c);
            return kEncodeFailed;
        }
        top += static_cast<int>(taken);
    }
    jpeg_finish_compress(&c);
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
    if (props.DIBBytes == nullptr || !props.JPGSink || props.DIBChannels != 3 ||
        props.DIBColor != JpegColor::BGR || props.JPGChannels != 3 ||
        props.JPGColor != JpegColor::YCbCr || width <= 0 || height <= 0 ||
        width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION || props.DIBPadBytes < 0 ||
        pitch > INT32_MAX || props.JPGWidth != width || props.JPGHeight != height) {
        return kBadSource;
    }
    e->sink = &props.JPGSink;
    e->unwanted = false;
    return encode(*e, props, static_cast<int>(width), static_cast<int>(height),
                  static_cast<std::size_t>(pitch));
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
