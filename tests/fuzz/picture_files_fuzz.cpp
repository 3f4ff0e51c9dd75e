// Screenshots of every size from 1x1 to 300x300, one to three in a row on the one surface the
// program keeps, taken off the clipboard or the screen and stored through SaveIt as bitmap or
// JPEG files, the JPEG encoded by two threads as the rows arrive. The bitmap must read back as
// the picture; the JPEG must decode at the picture's size to what TurboJPEG's encoder gives.
#include <fuzzer/FuzzedDataProvider.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "capture/save_it.h"
#include "capture/turbo_jpeg.h"
#include "fake_capture_files.h"
#include "fake_clipboard.h"
#include "fake_gdi.h"
#include "fuzz_check.h"

namespace {

std::uint32_t u32(const std::vector<std::uint8_t>& f, std::size_t at) {
    return f[at] | f[at + 1] << 8 | f[at + 2] << 16 | std::uint32_t(f[at + 3]) << 24;
}
std::uint32_t u16(const std::vector<std::uint8_t>& f, std::size_t at) {
    return f[at] | f[at + 1] << 8;
}

void checkBmp(const std::vector<std::uint8_t>& f, const rk::FakeImage& picture) {
    const std::int32_t w = picture.width, h = picture.height;
    const std::size_t stride = (std::size_t(w) * 3 + 3) / 4 * 4;
    const std::size_t size = 54 + stride * h;
    FUZZ_CHECK(f.size() == size, w << "x" << h << ": " << f.size() << " bytes, expected " << size);
    FUZZ_CHECK(
        f[0] == 'B' && f[1] == 'M' && u32(f, 2) == size && u32(f, 10) == 54,
        w << "x" << h << ": file header states size " << u32(f, 2) << ", pixels at " << u32(f, 10));
    FUZZ_CHECK(u32(f, 14) == 40 && u32(f, 18) == std::uint32_t(w) &&
                   u32(f, 22) == std::uint32_t(h) && u16(f, 26) == 1 && u16(f, 28) == 24 &&
                   u32(f, 30) == 0 && u32(f, 34) == stride * h,
               w << "x" << h << ": info header states " << u32(f, 18) << "x" << u32(f, 22) << ", "
                 << u16(f, 28) << " bits, image size " << u32(f, 34));
    for (std::int32_t y = 0; y < h; ++y) {
        const std::uint8_t* row = f.data() + 54 + stride * (h - 1 - y);  // bottom row first
        for (std::int32_t x = 0; x < w; ++x) {
            const std::uint32_t rgb =
                std::uint32_t(row[x * 3 + 2]) << 16 | row[x * 3 + 1] << 8 | row[x * 3];
            FUZZ_CHECK(rgb == picture.at(x, y),
                       w << "x" << h << ": pixel " << x << "," << y << " is " << rgb);
        }
    }
}

std::optional<std::vector<std::uint8_t>> decoded(tjhandle tj, const std::vector<std::uint8_t>& f,
                                                 int width, int height) {
    int w = 0, h = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(tj, f.data(), f.size(), &w, &h, &subsampling, &colorspace) != 0 ||
        w != width || h != height)
        return std::nullopt;
    std::vector<std::uint8_t> pixels(std::size_t(w) * h * 3);
    if (tjDecompress2(tj, f.data(), f.size(), pixels.data(), w, w * 3, h, TJPF_RGB, 0) != 0)
        return std::nullopt;
    return pixels;
}

// The JPEG decodes at the picture's size, to the very pixels that TurboJPEG's own encoder gives
// for the picture at that quality (what lies between, restart markers, does not change them):
// rows left from an earlier shot, rows out of place or a band joined wrongly all show.
void checkJpeg(const std::vector<std::uint8_t>& f, const rk::FakeImage& picture, int quality) {
    const int w = picture.width, h = picture.height;
    std::vector<std::uint8_t> rgb;
    rgb.reserve(picture.pixels.size() * 3);
    for (std::uint32_t p : picture.pixels) {
        rgb.push_back(std::uint8_t(p >> 16));
        rgb.push_back(std::uint8_t(p >> 8));
        rgb.push_back(std::uint8_t(p));
    }
    tjhandle encoder = tjInitCompress();
    unsigned char* reference = nullptr;
    unsigned long referenceSize = 0;
    const int encoded = tjCompress2(encoder, rgb.data(), w, w * 3, h, TJPF_RGB, &reference,
                                    &referenceSize, TJSAMP_420, std::clamp(quality, 1, 100), 0);
    const std::vector<std::uint8_t> expectedFile(reference, reference + referenceSize);
    tjFree(reference);
    tjDestroy(encoder);
    FUZZ_CHECK(encoded == 0, "the reference encoder failed");

    tjhandle tj = tjInitDecompress();
    const auto got = decoded(tj, f, w, h);
    const std::string why = got ? "" : tjGetErrorStr2(tj);
    const auto expected = decoded(tj, expectedFile, w, h);
    tjDestroy(tj);
    FUZZ_CHECK(got, w << "x" << h << " quality " << quality << ": the JPEG does not decode at its "
                      << "size: " << why);
    for (std::size_t i = 0; i < got->size(); ++i) {
        FUZZ_CHECK((*got)[i] == (*expected)[i],
                   w << "x" << h << " quality " << quality << ": pixel " << i / 3 % w << ","
                     << i / 3 / w << " channel " << i % 3 << " decodes as " << int((*got)[i])
                     << ", TurboJPEG's own file as " << int((*expected)[i]));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The encoder's thread and memory, kept from one shot to the next as the program keeps them.
    static rk::JpegLane lane;

    FuzzedDataProvider in(data, size);
    rk::FakeGdi gdi;
    rk::FakeClipboard clipboard(gdi);
    rk::FakeCaptureFiles files;
    files.addFolder("C:\\Shots");
    rk::TurboJpegLibrary library;
    rk::CapturePlatform platform{clipboard, gdi, files, library};
    rk::ScreenshotNaming naming;
    std::vector<std::string> boxes;
    rk::JpegWriterSetup writer{
        files, library,
        [&](std::string_view text, std::string_view, rk::BoxIcon) { boxes.emplace_back(text); },
        "raidkit", in.ConsumeBool() ? &lane : nullptr};
    // Kept from one shot to the next, as Screenshots keeps it: written over at the same size.
    rk::cDIBSection surface(gdi);
    int stored[2] = {0, 0};  // JPEG, BMP

    const int shots = in.ConsumeIntegralInRange(1, 3);
    for (int shot = 0; shot < shots; ++shot) {
        const std::int32_t width = in.ConsumeIntegralInRange(1, 300);
        const std::int32_t height = in.ConsumeIntegralInRange(1, 300);
        const bool bmp = in.ConsumeBool();
        const int quality = in.ConsumeIntegralInRange(-5, 120);
        const bool fromScreen = in.ConsumeBool();
        const bool blocks = in.ConsumeBool();
        gdi.readBand = in.ConsumeIntegralInRange(1, 64);

        // The picture: flat 8x8 blocks or single pixels coloured from the input's palette, or
        // a pattern where it gives none.
        const std::vector<std::uint8_t> palette =
            in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange(0, 3 * 64));
        const std::size_t colours = palette.size() / 3;
        rk::FakeImage picture{width, height, {}};
        picture.pixels.reserve(std::size_t(width) * height);
        for (std::int32_t y = 0; y < height; ++y) {
            for (std::int32_t x = 0; x < width; ++x) {
                const std::size_t i = blocks ? std::size_t(y / 8) * 41 + std::size_t(x / 8)
                                             : std::size_t(y) * width + x;
                picture.pixels.push_back(colours == 0
                                             ? std::uint32_t(i * 2654435761u) & 0xFFFFFF
                                             : std::uint32_t(palette[i % colours * 3]) << 16 |
                                                   palette[i % colours * 3 + 1] << 8 |
                                                   palette[i % colours * 3 + 2]);
            }
        }
        if (fromScreen)
            gdi.screen = picture;
        else
            clipboard.putBitmap(picture);

        const rk::ShotSettings settings{"C:\\Shots\\Shot", bmp ? "Bmp" : "Jpg",
                                        std::to_string(quality)};
        const std::optional<std::string> name = rk::SaveIt(
            platform, naming, settings,
            fromScreen ? rk::ShotSource::Screen : rk::ShotSource::Clipboard, writer, surface);
        const std::string expected =
            "C:\\Shots\\Shot" + std::to_string(++stored[bmp]) + (bmp ? ".bmp" : ".jpg");
        FUZZ_CHECK(name == expected, "shot " << shot + 1 << ", " << width << "x" << height
                                             << (bmp ? " bmp" : " jpg") << ": stored as "
                                             << name.value_or("nothing")
                                             << (boxes.empty() ? "" : ", told " + boxes[0]));
        FUZZ_CHECK(files.filesIn("C:\\Shots").size() == std::size_t(stored[0] + stored[1]),
                   "files left beside the screenshots: " << files.filesIn("C:\\Shots").size());
        const std::vector<std::uint8_t>& file = files.file(expected)->bytes;
        if (bmp)
            checkBmp(file, picture);
        else
            checkJpeg(file, picture, quality);
    }
    surface.ClearUp();
    const std::size_t left = clipboard.bitmap() != 0 ? 1 : 0;
    FUZZ_CHECK(gdi.liveObjects() == left && gdi.screenDcsOut() == 0,
               "GDI objects left: " << gdi.liveObjects() - left);
    return 0;
}
